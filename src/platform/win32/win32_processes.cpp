#include "platform/win32/win32_processes.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <vector>

namespace uninstall {

namespace {

HANDLE ToHandle(std::uintptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

const char* DirectoryOrNull(const std::optional<std::string>& directory) {
  return directory ? directory->c_str() : nullptr;
}

}  // namespace

std::string Win32Processes::CommandLine() {
  const char* line = GetCommandLineA();
  return line != nullptr ? std::string(line) : std::string();
}

std::uint32_t Win32Processes::ModuleFileName(std::uint32_t buffer_size, std::string* path) {
  std::vector<char> buffer(buffer_size + 1, '\0');
  DWORD length = GetModuleFileNameA(nullptr, buffer.data(), buffer_size);
  path->assign(buffer.data(), std::min<DWORD>(length, buffer_size));
  return length;
}

bool Win32Processes::SetEnvironmentValue(const std::string& name, const std::string& value) {
  return SetEnvironmentVariableA(name.c_str(), value.c_str()) != FALSE;
}

MutexHandle Win32Processes::CreateNamedMutex(const std::string& name, std::uint32_t* error) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
  // Read at once: any further call may overwrite the last error.
  DWORD last_error = GetLastError();
  if (error != nullptr) *error = last_error;
  return reinterpret_cast<MutexHandle>(mutex);
}

void Win32Processes::ReleaseNamedMutex(MutexHandle mutex) { ReleaseMutex(ToHandle(mutex)); }

void Win32Processes::CloseMutex(MutexHandle mutex) { CloseHandle(ToHandle(mutex)); }

bool Win32Processes::CreateProcessFromCommandLine(
    const std::string& command_line, const std::optional<std::string>& working_directory, int show,
    CreatedProcess* created) {
  // CreateProcessA may write into the command line, so it gets a copy of its own.
  std::vector<char> line(command_line.begin(), command_line.end());
  line.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(show);
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                      DirectoryOrNull(working_directory), &startup, &info)) {
    return false;
  }
  created->process = reinterpret_cast<ProcessHandle>(info.hProcess);
  created->thread = reinterpret_cast<ProcessHandle>(info.hThread);
  created->process_id = info.dwProcessId;
  return true;
}

bool Win32Processes::ShellExecuteWithHandle(const std::string& verb, const std::string& file,
                                            const std::string& parameters,
                                            const std::optional<std::string>& working_directory,
                                            int show, ProcessHandle* process) {
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.lpVerb = verb.c_str();
  info.lpFile = file.c_str();
  info.lpParameters = parameters.c_str();
  info.lpDirectory = DirectoryOrNull(working_directory);
  info.nShow = show;
  const bool started = ShellExecuteExA(&info) != FALSE;
  if (process != nullptr) *process = started ? reinterpret_cast<ProcessHandle>(info.hProcess) : 0;
  return started;
}

bool Win32Processes::ShellExecuteDetached(const std::string& verb, const std::string& file,
                                          const std::string& parameters,
                                          const std::optional<std::string>& working_directory,
                                          int show) {
  HINSTANCE result = ShellExecuteA(nullptr, verb.c_str(), file.c_str(), parameters.c_str(),
                                   DirectoryOrNull(working_directory), show);
  // Values above 32 mean success.
  return reinterpret_cast<INT_PTR>(result) > 32;
}

void Win32Processes::WaitForProcess(ProcessHandle process) {
  if (process == 0) return;
  WaitForSingleObject(ToHandle(process), INFINITE);
}

bool Win32Processes::WaitForProcessFor(ProcessHandle process, std::uint32_t milliseconds) {
  if (process == 0) return true;
  return WaitForSingleObject(ToHandle(process), milliseconds) != WAIT_TIMEOUT;
}

bool Win32Processes::ExitCodeOf(ProcessHandle process, std::uint32_t* exit_code) {
  DWORD code = 0;
  if (!GetExitCodeProcess(ToHandle(process), &code)) return false;
  if (exit_code != nullptr) *exit_code = code;
  return true;
}

void Win32Processes::CloseProcessHandle(ProcessHandle handle) { CloseHandle(ToHandle(handle)); }

}  // namespace uninstall
