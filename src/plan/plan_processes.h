// The processes of a plan: the planned run is the uninstaller beside the checked file, started
// quiet or for the window. The checks of running programs read the system; programs, the
// script and DLL unregistration are written to the plan instead of being started, and the
// self-removal at the end is planned on the overlay file system. Environment changes stay here.
#ifndef UNINSTALL_PLAN_PLAN_PROCESSES_H_
#define UNINSTALL_PLAN_PLAN_PROCESSES_H_

#include <map>
#include <string>

#include "plan/overlay_file_system.h"
#include "plan/plan_log.h"
#include "platform/process.h"

namespace uninstall {

class PlanProcesses : public Processes {
 public:
  PlanProcesses(Processes& system, OverlayFileSystem& fs, PlanLog* plan, std::string own_path,
                bool quiet);

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
  void PlanStart(const std::string& file, const std::string& parameters);
  std::string Environment(const std::string& name);

  Processes& system_;
  OverlayFileSystem& fs_;
  PlanLog* plan_;
  std::string own_path_;
  bool quiet_;
  std::map<std::string, std::string> environment_;  // set by the planned run; "" for removed
  std::map<PipeHandle, PipeHandle> pipes_;          // write end -> read end
  std::map<PipeHandle, std::string> pipe_bytes_;    // read end -> what was written
  std::uintptr_t next_pipe_ = 0x7FFF0001;
};

}  // namespace uninstall

#endif  // UNINSTALL_PLAN_PLAN_PROCESSES_H_
