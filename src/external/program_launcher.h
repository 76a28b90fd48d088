// Starts external programs (or opens documents through the shell), waits for them and reads
// their exit codes; knows the running uninstaller's own path.
#ifndef UNINSTALL_EXTERNAL_PROGRAM_LAUNCHER_H_
#define UNINSTALL_EXTERNAL_PROGRAM_LAUNCHER_H_

#include <cstdint>
#include <list>
#include <string>

#include "common/heartbeat.h"
#include "platform/process.h"

namespace uninstall {

// Options of StartProgram.
inline constexpr std::uint32_t kWaitForExit = 1;
inline constexpr std::uint32_t kKeepHandle = 4;

// A started program kept for its exit code; valid until CloseProgram.
struct RunningProgram {
  ProcessHandle process = 0;  // may be 0 when the shell opened the file in a running program
  std::uint32_t process_id = 0;
};

class ProgramLauncher {
 public:
  explicit ProgramLauncher(Processes& processes) : processes_(processes) {}
  ProgramLauncher(const ProgramLauncher&) = delete;
  ProgramLauncher& operator=(const ProgramLauncher&) = delete;

  struct StartResult {
    bool started = false;
    RunningProgram* program = nullptr;  // only with kKeepHandle
  };

  // Starts `file` with `parameters` in `working_directory` ("" means not given). With
  // kKeepHandle a started program comes back as a RunningProgram; without it the launcher
  // releases everything itself.
  StartResult StartProgram(const std::string& file, const std::string& parameters,
                           const std::string& working_directory, std::uint32_t options);

  // While a started program is waited for, `heartbeat` (when not null) beats every few dozen
  // milliseconds, so that a window can stay alive meanwhile.
  void SetHeartbeat(Heartbeat* heartbeat) { heartbeat_ = heartbeat; }

  // The full path of the system's program `name` in the system directory; "" when the system
  // does not say where that is. A program is never started by its bare name, which Windows
  // would first look for beside the uninstaller and in the current directory.
  std::string SystemProgramPath(const std::string& name);

  // Waits at most `milliseconds` for the program to end, beating the heartbeat between slices;
  // true when it ended.
  bool WaitForExitWithin(const RunningProgram* program, std::uint32_t milliseconds);
  // Ends the program at once (its process is terminated); it is still to be closed.
  void EndProgram(const RunningProgram* program);

  // The exit code of the program; 0 when the platform cannot report it.
  std::uint32_t ProgramExitCode(const RunningProgram* program);
  // Releases the process handle and the record.
  void CloseProgram(RunningProgram* program);

  // The process id reported for programs opened through the shell.
  static constexpr std::uint32_t kUnknownProcessId = 0xFFFFFFFF;

 private:
  RunningProgram* Keep(ProcessHandle process, std::uint32_t process_id);
  // Waits without a time limit for the process to end.
  void Wait(ProcessHandle process);

  Processes& processes_;
  Heartbeat* heartbeat_ = nullptr;
  std::list<RunningProgram> programs_;
};

// The command line for `file`: quoted unless it begins with a double quote, then one blank and
// the parameters when there are any.
std::string ProgramCommandLine(const std::string& file, const std::string& parameters);

// Working directory of the shell fallback when none was given: up to and including the last
// backslash of the file, provided that is not its first character; "" otherwise.
std::string ShellWorkingDirectory(const std::string& file);

// The size of the buffer the own path is read into: the path has at most 259 characters.
inline constexpr std::uint32_t kOwnPathBufferSize = 260;

// The full path of the running executable; "" when the platform cannot report it, reports it
// cut short, or reports a path that the system's 8-bit code page cannot hold: any name read
// from that one, best fit or not, could be another folder's. In that last case `unrepresentable`,
// when given, receives the path as it can be shown, with the code page's default character in
// place of what it cannot hold.
std::string OwnProgramPath(Processes& processes, std::string* unrepresentable = nullptr);

}  // namespace uninstall

#endif  // UNINSTALL_EXTERNAL_PROGRAM_LAUNCHER_H_
