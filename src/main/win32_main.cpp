// WinMain: builds the Win32 platform objects and runs the uninstall sequence.
#include <windows.h>

#include "driver/uninstall_sequence.h"
#include "external/system_launcher.h"
#include "platform/win32/dll_search.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_script_engine.h"
#include "platform/win32/win32_security.h"
#include "platform/win32/win32_window_toolkit.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  uninstall::RestrictDllSearchToSystem32();
  uninstall::Win32FileSystem fs;
  uninstall::Win32Processes processes;
  uninstall::Win32Registry registry;
  uninstall::Win32Security security;
  uninstall::SystemLauncher launcher(processes, fs, security);
  uninstall::Win32ScriptEngine script_engine;
  uninstall::Win32WindowToolkit windows;
  uninstall::UninstallSequence sequence(uninstall::PlatformParts{fs, processes, launcher, registry,
                                                                 security, script_engine, windows});
  ExitProcess(static_cast<UINT>(sequence.Run()));
}
