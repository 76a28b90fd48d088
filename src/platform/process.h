// Process-level calls: the command line, the own module, named mutexes, the list of running
// processes, starting programs.
#ifndef UNINSTALL_PLATFORM_PROCESS_H_
#define UNINSTALL_PLATFORM_PROCESS_H_

#include <cstdint>
#include <optional>
#include <string>

#include "platform/handle.h"

namespace uninstall {

using MutexHandle = Handle<struct MutexKind>;
using ProcessHandle = Handle<struct ProcessKind>;
using ProcessListHandle = Handle<struct ProcessListKind>;
using PipeHandle = Handle<struct PipeKind>;  // an end of a pipe

// Show states.
inline constexpr int kShowHidden = 0;
inline constexpr int kShowNormal = 1;

struct CreatedProcess {
  ProcessHandle process = {};
  ProcessHandle thread = {};
  std::uint32_t process_id = 0;
};

class Processes {
 public:
  virtual ~Processes() = default;

  // GetCommandLineA.
  virtual std::string CommandLine() = 0;
  // GetModuleFileNameW of the program's own module into a buffer of `buffer_size` characters,
  // converted to the 8-bit code page without best-fit replacements: *path receives what was
  // written, the result is what the call returned (0 on failure, `buffer_size` when the path was
  // cut short). *exact is false when a character of the path has no place in the code page (it
  // then stands in *path as the code page's default character).
  virtual std::uint32_t ModuleFileName(std::uint32_t buffer_size, std::string* path,
                                       bool* exact) = 0;
  // SetEnvironmentVariableA in the program's own environment, which started programs inherit;
  // an empty value removes the variable.
  virtual bool SetEnvironmentValue(const std::string& name, const std::string& value) = 0;

  // CreateMutexA without security attributes and without taking ownership; *error receives
  // GetLastError right after the call (183 when the mutex existed already).
  virtual MutexHandle CreateNamedMutex(const std::string& name, std::uint32_t* error) = 0;
  // ReleaseMutex.
  virtual void ReleaseNamedMutex(MutexHandle mutex) = 0;
  // CloseHandle of a mutex.
  virtual void CloseMutex(MutexHandle mutex) = 0;

  // The toolhelp functions looked up at run time: LoadLibraryA("Kernel32.dll"), GetProcAddress
  // of "CreateToolhelp32Snapshot", "Process32First" and "Process32Next", then a snapshot of all
  // processes (flags 2, process id 0). 0 when any of that fails; what was acquired is released.
  virtual ProcessListHandle OpenProcessList() = 0;
  // Process32First the first time, Process32Next after that, on one record whose size field is
  // the system's ANSI process-entry size; *name receives the entry's executable name. False at
  // the end of the list or when the fetch fails.
  virtual bool NextProcessName(ProcessListHandle list, std::string* name) = 0;
  // CloseHandle of the snapshot and FreeLibrary.
  virtual void CloseProcessList(ProcessListHandle list) = 0;

  // CreateProcessA without application name, with this command line, no handle inheritance,
  // NORMAL_PRIORITY_CLASS, the working directory when given, and STARTF_USESHOWWINDOW with
  // `show`. False when no process was created.
  virtual bool CreateProcessFromCommandLine(const std::string& command_line,
                                            const std::optional<std::string>& working_directory,
                                            int show, CreatedProcess* created) = 0;
  // CreatePipe, not inheritable, with room for `size` bytes: what is written into it waits there
  // for a reader. False when no pipe was made.
  virtual bool CreatePipePair(std::uint32_t size, PipeHandle* read_end, PipeHandle* write_end) = 0;
  // WriteFile of all of `bytes` into a pipe's write end.
  virtual bool WritePipe(PipeHandle write_end, const std::string& bytes) = 0;
  // CloseHandle of a pipe's end.
  virtual void ClosePipe(PipeHandle end) = 0;
  // CreateProcessA as CreateProcessFromCommandLine, handing the new process the one handle
  // `handed` and nothing else: it is made inheritable for the moment of the call and is the only
  // handle of PROC_THREAD_ATTRIBUTE_HANDLE_LIST. It has the same number there as here.
  virtual bool CreateProcessHanding(const std::string& command_line,
                                    const std::optional<std::string>& working_directory, int show,
                                    PipeHandle handed, CreatedProcess* created) = 0;
  // In a program started so: the bytes of the pipe whose read end has the number `value` in this
  // process, read to the end (ReadFile until the writer has closed its end), and the handle
  // closed. False, with nothing read, when `value` is no pipe of this process (GetFileType), and
  // when more than `limit` bytes come.
  virtual bool ReadHandedPipe(std::uint64_t value, std::uint32_t limit, std::string* bytes) = 0;
  // ShellExecuteExA with SEE_MASK_NOCLOSEPROCESS; *process receives the handle the shell
  // reports (0 when the file was opened through an already running program).
  virtual bool ShellExecuteWithHandle(const std::string& verb, const std::string& file,
                                      const std::string& parameters,
                                      const std::optional<std::string>& working_directory, int show,
                                      ProcessHandle* process) = 0;
  // CreateProcessA without application name, with this command line, no handle inheritance,
  // CREATE_NO_WINDOW, STARTF_USESHOWWINDOW with SW_HIDE and the working directory; both handles
  // are closed at once and nothing is waited for. True when a process was created.
  virtual bool StartHidden(const std::string& command_line,
                           const std::string& working_directory) = 0;
  // GetCurrentProcessId.
  virtual std::uint32_t OwnProcessId() = 0;
  // GetSystemDirectoryA: the system directory without a final backslash; "" when unknown. (For
  // the 32-bit program on 64-bit Windows, the 32-bit view.)
  virtual std::string SystemDirectory() = 0;
  // WaitForSingleObject without a time limit; returns at once for a null handle.
  virtual void WaitForProcess(ProcessHandle process) = 0;
  // WaitForSingleObject with a time limit: true when the process has ended (at once for a null
  // handle), false when the time ran out first.
  virtual bool WaitForProcessFor(ProcessHandle process, std::uint32_t milliseconds) = 0;
  // GetExitCodeProcess.
  virtual bool ExitCodeOf(ProcessHandle process, std::uint32_t* exit_code) = 0;
  // TerminateProcess with exit code 1; does not wait.
  virtual void EndProcess(ProcessHandle process) = 0;
  // CloseHandle of a process or thread.
  virtual void CloseProcessHandle(ProcessHandle handle) = 0;
};

}  // namespace uninstall

#endif  // UNINSTALL_PLATFORM_PROCESS_H_
