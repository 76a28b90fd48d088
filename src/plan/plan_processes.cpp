#include "plan/plan_processes.h"

namespace uninstall {

PlanProcesses::PlanProcesses(Processes& system, std::string own_path, bool quiet)
    : system_(system), own_path_(std::move(own_path)), quiet_(quiet) {}

std::string PlanProcesses::CommandLine() { return "\"" + own_path_ + "\"" + (quiet_ ? " /Q" : ""); }

std::uint32_t PlanProcesses::ModuleFileName(std::uint32_t buffer_size, std::string* path,
                                            bool* exact) {
  *exact = true;
  if (buffer_size == 0) return 0;
  // As the system does: a path that does not fit is cut to the buffer and fills it.
  if (own_path_.size() >= buffer_size) {
    *path = own_path_.substr(0, buffer_size - 1);
    return buffer_size;
  }
  *path = own_path_;
  return static_cast<std::uint32_t>(own_path_.size());
}

bool PlanProcesses::SetEnvironmentValue(const std::string&, const std::string&) { return true; }

MutexHandle PlanProcesses::CreateNamedMutex(const std::string& name, std::uint32_t* error) {
  return system_.CreateNamedMutex(name, error);
}

void PlanProcesses::ReleaseNamedMutex(MutexHandle mutex) { system_.ReleaseNamedMutex(mutex); }

void PlanProcesses::CloseMutex(MutexHandle mutex) { system_.CloseMutex(mutex); }

ProcessListHandle PlanProcesses::OpenProcessList() { return system_.OpenProcessList(); }

bool PlanProcesses::NextProcessName(ProcessListHandle list, std::string* name) {
  return system_.NextProcessName(list, name);
}

void PlanProcesses::CloseProcessList(ProcessListHandle list) { system_.CloseProcessList(list); }

bool PlanProcesses::CreateProcessFromCommandLine(const std::string&,
                                                 const std::optional<std::string>&, int,
                                                 CreatedProcess*) {
  return false;
}

bool PlanProcesses::CreatePipePair(std::uint32_t, PipeHandle*, PipeHandle*) { return false; }

bool PlanProcesses::WritePipe(PipeHandle, const std::string&) { return false; }

void PlanProcesses::ClosePipe(PipeHandle) {}

bool PlanProcesses::CreateProcessHanding(const std::string&, const std::optional<std::string>&, int,
                                         PipeHandle, CreatedProcess*) {
  return false;
}

bool PlanProcesses::ReadHandedPipe(std::uint64_t, std::uint32_t, std::string*) { return false; }

bool PlanProcesses::ShellExecuteWithHandle(const std::string&, const std::string&,
                                           const std::string&, const std::optional<std::string>&,
                                           int, ProcessHandle*) {
  return false;
}

bool PlanProcesses::StartHidden(const std::string&, const std::string&) { return false; }

std::uint32_t PlanProcesses::OwnProcessId() { return system_.OwnProcessId(); }

std::string PlanProcesses::SystemDirectory() { return system_.SystemDirectory(); }

void PlanProcesses::WaitForProcess(ProcessHandle) {}

bool PlanProcesses::WaitForProcessFor(ProcessHandle, std::uint32_t) { return true; }

bool PlanProcesses::ExitCodeOf(ProcessHandle, std::uint32_t* exit_code) {
  *exit_code = 0;
  return true;
}

void PlanProcesses::EndProcess(ProcessHandle) {}

void PlanProcesses::CloseProcessHandle(ProcessHandle) {}

}  // namespace uninstall
