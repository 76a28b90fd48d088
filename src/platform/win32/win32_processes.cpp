#include "platform/win32/win32_processes.h"

#include <windows.h>

#include "platform/win32/win32_handles.h"
// After windows.h, which they need.
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstring>
#include <type_traits>
#include <vector>

namespace uninstall {

namespace {

const char* DirectoryOrNull(const std::optional<std::string>& directory) {
  return directory ? directory->c_str() : nullptr;
}

// The ANSI record: its size field must be the build's own sizeof (296 in the 32-bit product,
// 304 in the 64-bit build), or the fetches fail.
static_assert(std::is_same_v<std::remove_extent_t<decltype(PROCESSENTRY32::szExeFile)>, CHAR>);
static_assert(sizeof(PROCESSENTRY32) == (sizeof(void*) == 4 ? 296 : 304));

using SnapshotFunction = HANDLE(WINAPI*)(DWORD flags, DWORD process_id);
using FetchFunction = BOOL(WINAPI*)(HANDLE snapshot, PROCESSENTRY32* entry);

// What an open process list holds; its address is the list's handle.
struct ProcessList {
  HMODULE library;
  FetchFunction first;
  FetchFunction next;
  HANDLE snapshot;
  bool started;
  PROCESSENTRY32 entry;
};

// Through a function type without parameters, which the compiler accepts for any function.
template <typename Function>
Function Lookup(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

}  // namespace

std::string Win32Processes::CommandLine() {
  const char* line = GetCommandLineA();
  return line != nullptr ? std::string(line) : std::string();
}

std::uint32_t Win32Processes::ModuleFileName(std::uint32_t buffer_size, std::string* path,
                                             bool* exact) {
  std::vector<wchar_t> wide(buffer_size + 1, L'\0');
  DWORD length = GetModuleFileNameW(nullptr, wide.data(), buffer_size);
  const int count = static_cast<int>(std::min<DWORD>(length, buffer_size));
  path->clear();
  *exact = true;
  if (count == 0) return length;
  // UTF-8 as the code page takes no best-fit flag and no default character.
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL used_default = FALSE;
  BOOL* used_default_out = utf8 ? nullptr : &used_default;
  int bytes =
      WideCharToMultiByte(CP_ACP, flags, wide.data(), count, nullptr, 0, nullptr, used_default_out);
  std::vector<char> narrow(bytes > 0 ? bytes : 1);
  bytes = WideCharToMultiByte(CP_ACP, flags, wide.data(), count, narrow.data(), bytes, nullptr,
                              used_default_out);
  if (bytes <= 0) {
    *exact = false;
    return length;
  }
  path->assign(narrow.data(), bytes);
  // Only a path that reads back as the same characters names this program's directory.
  std::vector<wchar_t> back(count + 1);
  int back_count = MultiByteToWideChar(CP_ACP, 0, narrow.data(), bytes, back.data(), count + 1);
  *exact = !used_default && back_count == count &&
           std::equal(wide.data(), wide.data() + count, back.data());
  return length;
}

bool Win32Processes::SetEnvironmentValue(const std::string& name, const std::string& value) {
  return SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str()) != FALSE;
}

MutexHandle Win32Processes::CreateNamedMutex(const std::string& name, std::uint32_t* error) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
  // Read at once: any further call may overwrite the last error.
  DWORD last_error = GetLastError();
  if (error != nullptr) *error = last_error;
  return FromSystem(mutex);
}

void Win32Processes::ReleaseNamedMutex(MutexHandle mutex) { ReleaseMutex(ToSystem(mutex)); }

void Win32Processes::CloseMutex(MutexHandle mutex) { CloseHandle(ToSystem(mutex)); }

ProcessListHandle Win32Processes::OpenProcessList() {
  HMODULE library = LoadLibraryA("Kernel32.dll");
  if (library == nullptr) return {};
  auto snapshot_function = Lookup<SnapshotFunction>(library, "CreateToolhelp32Snapshot");
  auto first = Lookup<FetchFunction>(library, "Process32First");
  auto next = Lookup<FetchFunction>(library, "Process32Next");
  if (snapshot_function == nullptr || first == nullptr || next == nullptr) {
    FreeLibrary(library);
    return {};
  }
  HANDLE snapshot = snapshot_function(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE || snapshot == nullptr) {
    FreeLibrary(library);
    return {};
  }
  auto* list = new ProcessList{library, first, next, snapshot, false, {}};
  return FromSystem(list);
}

bool Win32Processes::NextProcessName(ProcessListHandle handle, std::string* name) {
  auto* list = ToSystem<ProcessList*>(handle);
  if (list == nullptr) return false;
  BOOL fetched = FALSE;
  if (!list->started) {
    list->started = true;
    list->entry.dwSize = sizeof(PROCESSENTRY32);
    fetched = list->first(list->snapshot, &list->entry);
  } else {
    fetched = list->next(list->snapshot, &list->entry);
  }
  if (!fetched) return false;
  const char* exe = list->entry.szExeFile;
  name->assign(exe, strnlen(exe, sizeof(list->entry.szExeFile)));
  return true;
}

void Win32Processes::CloseProcessList(ProcessListHandle handle) {
  auto* list = ToSystem<ProcessList*>(handle);
  if (list == nullptr) return;
  CloseHandle(list->snapshot);
  FreeLibrary(list->library);
  delete list;
}

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
  created->process = FromSystem(info.hProcess);
  created->thread = FromSystem(info.hThread);
  created->process_id = info.dwProcessId;
  return true;
}

bool Win32Processes::CreatePipePair(std::uint32_t size, PipeHandle* read_end,
                                    PipeHandle* write_end) {
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  if (!CreatePipe(&read, &write, nullptr, size)) return false;
  *read_end = FromSystem(read);
  *write_end = FromSystem(write);
  return true;
}

bool Win32Processes::WritePipe(PipeHandle write_end, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
    if (!WriteFile(ToSystem(write_end), bytes.data() + done, chunk, &written, nullptr) ||
        written == 0) {
      return false;
    }
    done += written;
  }
  return true;
}

void Win32Processes::ClosePipe(PipeHandle end) { CloseHandle(ToSystem(end)); }

bool Win32Processes::CreateProcessHanding(const std::string& command_line,
                                          const std::optional<std::string>& working_directory,
                                          int show, PipeHandle handed, CreatedProcess* created) {
  HANDLE handle = ToSystem(handed);
  SIZE_T size = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  std::vector<std::uint64_t> storage(size / sizeof(std::uint64_t) + 1);
  auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage.data());
  if (!InitializeProcThreadAttributeList(attributes, 1, 0, &size)) return false;
  bool started = false;
  if (UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &handle,
                                sizeof(handle), nullptr, nullptr) &&
      SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT)) {
    std::vector<char> line(command_line.begin(), command_line.end());
    line.push_back('\0');
    STARTUPINFOEXA startup = {};
    startup.StartupInfo.cb = sizeof(startup);
    startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW;
    startup.StartupInfo.wShowWindow = static_cast<WORD>(show);
    startup.lpAttributeList = attributes;
    PROCESS_INFORMATION info = {};
    started =
        CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE,
                       NORMAL_PRIORITY_CLASS | EXTENDED_STARTUPINFO_PRESENT, nullptr,
                       DirectoryOrNull(working_directory), &startup.StartupInfo, &info) != FALSE;
    SetHandleInformation(handle, HANDLE_FLAG_INHERIT, 0);
    if (started) {
      created->process = FromSystem(info.hProcess);
      created->thread = FromSystem(info.hThread);
      created->process_id = info.dwProcessId;
    }
  }
  DeleteProcThreadAttributeList(attributes);
  return started;
}

bool Win32Processes::ReadHandedPipe(std::uint64_t value, std::uint32_t limit, std::string* bytes) {
  bytes->clear();
  HANDLE pipe = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(value));
  if (static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(pipe)) != value ||
      pipe == nullptr || pipe == INVALID_HANDLE_VALUE || GetFileType(pipe) != FILE_TYPE_PIPE) {
    return false;
  }
  char buffer[4096];
  bool complete = false;
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(pipe, buffer, sizeof(buffer), &read, nullptr)) {
      complete = GetLastError() == ERROR_BROKEN_PIPE;  // the writer's end is closed: all is here
      break;
    }
    if (read == 0) {
      complete = true;
      break;
    }
    if (bytes->size() + read > limit) break;
    bytes->append(buffer, read);
  }
  CloseHandle(pipe);
  if (!complete) bytes->clear();
  return complete;
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
  if (process != nullptr)
    *process = started ? ProcessHandle(FromSystem(info.hProcess)) : ProcessHandle();
  return started;
}

bool Win32Processes::StartHidden(const std::string& command_line,
                                 const std::string& working_directory) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION info = {};
  std::vector<char> line(command_line.begin(), command_line.end());
  line.push_back('\0');
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                      working_directory.c_str(), &startup, &info)) {
    return false;
  }
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return true;
}

std::uint32_t Win32Processes::OwnProcessId() { return GetCurrentProcessId(); }

std::string Win32Processes::SystemDirectory() {
  char buffer[MAX_PATH + 1] = "";
  UINT length = GetSystemDirectoryA(buffer, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return "";
  return std::string(buffer, length);
}

void Win32Processes::WaitForProcess(ProcessHandle process) {
  if (!process.valid()) return;
  WaitForSingleObject(ToSystem(process), INFINITE);
}

bool Win32Processes::WaitForProcessFor(ProcessHandle process, std::uint32_t milliseconds) {
  if (!process.valid()) return true;
  return WaitForSingleObject(ToSystem(process), milliseconds) != WAIT_TIMEOUT;
}

bool Win32Processes::ExitCodeOf(ProcessHandle process, std::uint32_t* exit_code) {
  DWORD code = 0;
  if (!GetExitCodeProcess(ToSystem(process), &code)) return false;
  if (exit_code != nullptr) *exit_code = code;
  return true;
}

void Win32Processes::EndProcess(ProcessHandle process) {
  if (process.valid()) TerminateProcess(ToSystem(process), 1);
}

void Win32Processes::CloseProcessHandle(ProcessHandle handle) { CloseHandle(ToSystem(handle)); }

}  // namespace uninstall
