#include "plan/plan_processes.h"

#include "common/ascii_case.h"
#include "external/script_process.h"
#include "files/self_removal_batch.h"
#include "shell/dll_unregistration.h"

namespace uninstall {
namespace {

// Started programs are not started: every one "ends" at once, with exit code 0.
constexpr ProcessHandle kPlannedProcess(1);

bool IsRegsvr32(const std::string& file) {
  return AsciiLowered(file.substr(file.find_last_of("\\/") + 1)) == "regsvr32.exe";
}

}  // namespace

PlanProcesses::PlanProcesses(Processes& system, OverlayFileSystem& fs, PlanLog* plan,
                             std::string own_path, bool quiet)
    : system_(system), fs_(fs), plan_(plan), own_path_(std::move(own_path)), quiet_(quiet) {}

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

bool PlanProcesses::SetEnvironmentValue(const std::string& name, const std::string& value) {
  environment_[name] = value;
  return true;
}

std::string PlanProcesses::Environment(const std::string& name) {
  // Only what the planned run itself set: the values of the self-removal batch.
  const auto set = environment_.find(name);
  return set != environment_.end() ? set->second : std::string();
}

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

void PlanProcesses::PlanStart(const std::string& file, const std::string& parameters) {
  if (IsRegsvr32(file) && parameters.compare(0, 6, "/S /U ") == 0) {
    plan_->Add("unregister", UnquotedPath(parameters.substr(6)));
  } else {
    plan_->Add("run", parameters.empty() ? file : file + " " + parameters);
  }
}

bool PlanProcesses::CreateProcessFromCommandLine(const std::string& command_line,
                                                 const std::optional<std::string>&, int,
                                                 CreatedProcess* created) {
  // The program's path comes first, in quotes.
  std::string file = command_line;
  std::string parameters;
  if (!command_line.empty() && command_line.front() == '"') {
    const std::size_t close = command_line.find('"', 1);
    file = command_line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    if (close != std::string::npos && close + 2 <= command_line.size()) {
      parameters = command_line.substr(close + 2);
    }
  }
  PlanStart(file, parameters);
  created->process = kPlannedProcess;
  created->thread = kPlannedProcess;
  created->process_id = 0;
  return true;
}

bool PlanProcesses::CreatePipePair(std::uint32_t, PipeHandle* read_end, PipeHandle* write_end) {
  *read_end = PipeHandle(next_pipe_++);
  *write_end = PipeHandle(next_pipe_++);
  pipes_[*write_end] = *read_end;
  return true;
}

bool PlanProcesses::WritePipe(PipeHandle write_end, const std::string& bytes) {
  const auto pipe = pipes_.find(write_end);
  if (pipe == pipes_.end()) return false;
  pipe_bytes_[pipe->second] += bytes;
  return true;
}

void PlanProcesses::ClosePipe(PipeHandle end) { pipes_.erase(end); }

bool PlanProcesses::CreateProcessHanding(const std::string&, const std::optional<std::string>&, int,
                                         PipeHandle handed, CreatedProcess* created) {
  // The one program started with a pipe is the uninstaller's second instance, for the script.
  const std::optional<ScriptRequest> request = DecodedScriptRequest(pipe_bytes_[handed]);
  plan_->Add("script", request ? request->script : std::string());
  created->process = kPlannedProcess;
  created->thread = kPlannedProcess;
  created->process_id = 0;
  return true;
}

bool PlanProcesses::ReadHandedPipe(std::uint64_t, std::uint32_t, std::string*) { return false; }

bool PlanProcesses::ShellExecuteWithHandle(const std::string&, const std::string& file,
                                           const std::string& parameters,
                                           const std::optional<std::string>&, int,
                                           ProcessHandle* process) {
  PlanStart(file, parameters);
  *process = kPlannedProcess;
  return true;
}

bool PlanProcesses::StartHidden(const std::string& command_line, const std::string&) {
  const std::string exe = Environment(kBatchExeVariable);
  if (exe.empty()) {
    plan_->Add("run", command_line);
    return true;
  }
  // The self-removal batch: once the uninstaller has ended, its file goes, then its directory
  // when that is empty.
  fs_.SetRunningProgram("");
  fs_.EraseFile(exe);
  const std::string directory = Environment(kBatchDirVariable);
  if (!directory.empty()) fs_.EraseDirectory(directory);
  return true;
}

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
