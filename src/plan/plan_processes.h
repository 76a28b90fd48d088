// The processes of a plan: the planned run is the uninstaller beside the checked file, started
// quiet or for the window. The checks of running programs read the system; nothing is started
// (the plan's launcher writes down what would be), and every process waited for has ended, with
// exit code 0. The environment is not changed.
#ifndef UNINSTALL_PLAN_PLAN_PROCESSES_H_
#define UNINSTALL_PLAN_PLAN_PROCESSES_H_

#include <string>

#include "platform/process.h"

namespace uninstall {

class PlanProcesses : public Processes {
 public:
  PlanProcesses(Processes& system, std::string own_path, bool quiet);

  std::string CommandLine() override;
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
  Processes& system_;
  std::string own_path_;
  bool quiet_;
};

}  // namespace uninstall

#endif  // UNINSTALL_PLAN_PLAN_PROCESSES_H_
