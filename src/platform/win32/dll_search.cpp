#include "platform/win32/dll_search.h"

#include <windows.h>

namespace uninstall {
namespace {

// Loaded later by bare name by the theme engine, the window manager, crypto, COM and the
// security layers.
constexpr const char* kPreloaded[] = {"uxtheme.dll", "dwmapi.dll", "cryptbase.dll", "userenv.dll",
                                      "propsys.dll", "oleacc.dll", "clbcatq.dll",   "sspicli.dll"};

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

}  // namespace

void RestrictDllSearchToSystem32() {
  // Looked up at run time: systems without the update that brought it have SetDllDirectory,
  // which at least takes the current directory out of the search.
  auto set_default_directories =
      reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
  if (set_default_directories == nullptr ||
      !set_default_directories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    SetDllDirectoryA("");
  }
  char system_directory[MAX_PATH];
  UINT length = GetSystemDirectoryA(system_directory, MAX_PATH);
  if (length == 0 || length >= MAX_PATH - 16) return;
  for (const char* name : kPreloaded) {
    char path[MAX_PATH];
    lstrcpyA(path, system_directory);
    lstrcatA(path, "\\");
    lstrcatA(path, name);
    // Kept loaded for the life of the process; a DLL this system lacks is simply not there.
    LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  }
}

}  // namespace uninstall
