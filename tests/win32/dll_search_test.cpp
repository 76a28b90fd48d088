// The uninstaller restricts the DLL search first thing: a DLL planted beside a program is loaded
// by bare name before that and not after. The probe (tests/win32/helpers/dll_probe.cpp) does
// both in a process of its own, beside two copies of a DLL that run.sh lays out.
#include <windows.h>

#include <string>

#include "gtest/gtest.h"

namespace uninstall {
namespace {

TEST(DllSearchTest, DllBesideTheProgramIsLoadedByNameOnlyBeforeTheSearchIsRestricted) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  std::string command_line = "C:\\dll_probe.exe";
  ASSERT_TRUE(CreateProcessA(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             "C:\\", &startup, &info));
  WaitForSingleObject(info.hProcess, 10000);
  DWORD code = 99;
  GetExitCodeProcess(info.hProcess, &code);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  EXPECT_EQ(code, 1u) << "1: loaded before only; 3: loaded after the restriction too";
}

}  // namespace
}  // namespace uninstall
