// The running-program check over the real toolhelp calls: a program started here is found by
// its name in another letter case while it runs, and no longer once it has ended.
#include <windows.h>

#include <string>

#include "gtest/gtest.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_processes.h"
#include "preflight/running_program.h"

namespace uninstall {
namespace {

TEST(ProcessListTest, RunningProgramIsFoundByItsNameInAnotherCase) {
  Win32Processes processes;
  char own[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, own, MAX_PATH);
  std::string helper = own;
  helper = helper.substr(0, helper.rfind('\\') + 1) + "exit_with.exe";
  // Ends on its own after ten seconds, by which time it has been stopped.
  CreatedProcess started;
  ASSERT_TRUE(processes.CreateProcessFromCommandLine(
      "\"" + helper + "\" 0 C:\\process_list_unused.txt 10000", std::nullopt, kShowHidden,
      &started));

  EXPECT_TRUE(IsProgramRunning(processes, "EXIT_WITH.EXE"));
  EXPECT_TRUE(IsProgramRunning(processes, "Win32_Tests.exe"));
  EXPECT_FALSE(IsProgramRunning(processes, "exit_with"));

  TerminateProcess(ToSystem(started.process), 0);
  WaitForSingleObject(ToSystem(started.process), 5000);
  processes.CloseProcessHandle(started.process);
  processes.CloseProcessHandle(started.thread);
  EXPECT_FALSE(IsProgramRunning(processes, "exit_with.exe"));
}

}  // namespace
}  // namespace uninstall
