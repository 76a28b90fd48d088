// Scripted processes: the command line, the own path, named mutexes, the process list and
// started programs.
#ifndef UNINSTALL_TESTS_FAKES_FAKE_PROCESSES_H_
#define UNINSTALL_TESTS_FAKES_FAKE_PROCESSES_H_

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "fakes/call_log.h"
#include "platform/process.h"

namespace uninstall {

class FakeProcesses : public Processes {
 public:
  explicit FakeProcesses(CallLog* log) : log_(log) {}

  std::string command_line = "\"C:\\App\\Uninstall.exe\"";
  std::string module_path = "C:\\App\\Uninstall.exe";  // "" : the call fails
  bool module_path_exact = true;                       // false: the 8-bit code page cannot hold it
  std::map<std::string, std::string> environment;
  bool environment_full = false;  // SetEnvironmentValue fails
  std::set<std::string> existing_mutexes;
  bool mutex_creation_fails = false;
  // The executable names the process list yields, in order.
  std::vector<std::string> process_names;
  bool process_list_unavailable = false;  // OpenProcessList fails
  bool hidden_start_succeeds = true;      // StartHidden creates a process
  std::uint32_t process_id = 4242;
  std::string system_directory = "C:\\Windows\\system32";  // "": unknown
  // How many waits with a time limit run out before a started program ends.
  int timed_waits_before_exit = 0;
  // Called with the program (or document) path when something starts.
  std::function<void(const std::string&)> on_start;
  // What was written into the pipe handed to the last program started with one.
  std::string handed_bytes;
  // The pipes this instance holds, by number, as ReadHandedPipe finds them: what is in them.
  std::map<std::uint64_t, std::string> handed_pipes;

  // CreateProcess of a command line that names `path` (quoted or not) starts a process that
  // ends with `exit_code`. Anything else is refused, as Windows refuses a document.
  void AddProgram(const std::string& path, std::uint32_t exit_code);
  // ShellExecuteEx of `path` succeeds; with `reports_process` false the shell reports no
  // process (the file went to a program that was already running).
  void AddDocument(const std::string& path, std::uint32_t exit_code, bool reports_process = true);

  int open_handles() const { return static_cast<int>(open_.size()); }

  std::string CommandLine() override { return command_line; }
  std::uint32_t ModuleFileName(std::uint32_t buffer_size, std::string* path, bool* exact) override;
  bool SetEnvironmentValue(const std::string& name, const std::string& value) override;
  MutexHandle CreateNamedMutex(const std::string& name, std::uint32_t* error) override;
  void ReleaseNamedMutex(MutexHandle mutex) override;
  void CloseMutex(MutexHandle mutex) override;
  ProcessListHandle OpenProcessList() override;
  bool NextProcessName(ProcessListHandle list, std::string* name) override;
  void CloseProcessList(ProcessListHandle list) override;
  bool CreateProcessFromCommandLine(const std::string& command_line,
                                    const std::optional<std::string>& working_directory, int show,
                                    CreatedProcess* created) override;
  bool CreatePipePair(std::uint32_t size, PipeHandle* read_end, PipeHandle* write_end) override;
  bool WritePipe(PipeHandle write_end, const std::string& bytes) override;
  void ClosePipe(PipeHandle end) override;
  bool CreateProcessHanding(const std::string& command_line,
                            const std::optional<std::string>& working_directory, int show,
                            PipeHandle handed, CreatedProcess* created) override;
  bool ReadHandedPipe(std::uint64_t value, std::uint32_t limit, std::string* bytes) override;
  bool ShellExecuteWithHandle(const std::string& verb, const std::string& file,
                              const std::string& parameters,
                              const std::optional<std::string>& working_directory, int show,
                              ProcessHandle* process) override;
  bool StartHidden(const std::string& command_line, const std::string& working_directory) override;
  std::uint32_t OwnProcessId() override;
  std::string SystemDirectory() override;
  void WaitForProcess(ProcessHandle process) override;
  bool WaitForProcessFor(ProcessHandle process, std::uint32_t milliseconds) override;
  bool ExitCodeOf(ProcessHandle process, std::uint32_t* exit_code) override;
  void EndProcess(ProcessHandle process) override;
  void CloseProcessHandle(ProcessHandle handle) override;

 private:
  struct Program {
    std::uint32_t exit_code;
    bool reports_process;
  };
  // A handle of any kind, numbered across the kinds as the system numbers them.
  template <class H>
  H NewHandle(std::uint32_t exit_code) {
    const H handle(next_handle_++);
    open_[handle.value()] = exit_code;
    return handle;
  }
  // A process of the program the command line names, as CreateProcess makes one.
  bool Start(const std::string& command_line, CreatedProcess* created);

  CallLog* log_;
  std::map<std::string, Program> programs_;
  std::map<std::string, Program> documents_;
  std::map<std::uintptr_t, std::uint32_t> open_;             // handle -> exit code
  std::map<ProcessListHandle, std::size_t> list_positions_;  // open list -> next name
  std::map<PipeHandle, PipeHandle> pipe_reads_;              // write end -> read end
  std::map<PipeHandle, std::string> pipe_bytes_;             // read end -> what is in the pipe
  std::uintptr_t next_handle_ = 100;
};

}  // namespace uninstall

#endif  // UNINSTALL_TESTS_FAKES_FAKE_PROCESSES_H_
