#include "fakes/fake_processes.h"

#include <algorithm>

#include "fakes/handle_text.h"

namespace uninstall {
namespace {

std::string Directory(const std::optional<std::string>& directory) {
  return directory ? *directory : "(none)";
}

// The program token of a command line: the quoted part, or up to the first blank.
std::string ProgramOf(const std::string& command_line) {
  if (!command_line.empty() && command_line[0] == '"') {
    std::size_t close = command_line.find('"', 1);
    return command_line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
  }
  return command_line.substr(0, command_line.find(' '));
}

}  // namespace

void FakeProcesses::AddProgram(const std::string& path, std::uint32_t exit_code) {
  programs_[path] = Program{exit_code, true};
}

void FakeProcesses::AddDocument(const std::string& path, std::uint32_t exit_code,
                                bool reports_process) {
  documents_[path] = Program{exit_code, reports_process};
}

std::uint32_t FakeProcesses::ModuleFileName(std::uint32_t buffer_size, std::string* path,
                                            bool* exact) {
  *exact = module_path_exact;
  if (log_->Add("ModuleFileName")) return 0;
  // As Windows does it: a path that does not fit is cut to the buffer, and the buffer's size
  // comes back.
  *path = module_path.substr(0, buffer_size);
  return static_cast<std::uint32_t>(std::min<std::size_t>(module_path.size(), buffer_size));
}

bool FakeProcesses::SetEnvironmentValue(const std::string& name, const std::string& value) {
  if (log_->Add("SetEnvironmentValue " + name + "=" + value)) return false;
  if (environment_full) return false;
  if (value.empty()) {
    environment.erase(name);
  } else {
    environment[name] = value;
  }
  return true;
}

MutexHandle FakeProcesses::CreateNamedMutex(const std::string& name, std::uint32_t* error) {
  const bool injected = log_->Add("CreateNamedMutex " + name);
  if (mutex_creation_fails || injected) {
    *error = 5;
    return {};
  }
  *error = existing_mutexes.count(name) ? 183 : 0;
  return NewHandle<MutexHandle>(0);
}

void FakeProcesses::ReleaseNamedMutex(MutexHandle mutex) {
  log_->Add("ReleaseNamedMutex " + HandleText(mutex));
}

void FakeProcesses::CloseMutex(MutexHandle mutex) {
  log_->Add("CloseMutex " + HandleText(mutex));
  open_.erase(mutex.value());
}

ProcessListHandle FakeProcesses::OpenProcessList() {
  if (log_->Add("OpenProcessList")) return {};
  if (process_list_unavailable) return {};
  ProcessListHandle list = NewHandle<ProcessListHandle>(0);
  list_positions_[list] = 0;
  return list;
}

bool FakeProcesses::NextProcessName(ProcessListHandle list, std::string* name) {
  if (log_->Add("NextProcessName " + HandleText(list))) return false;
  auto position = list_positions_.find(list);
  if (position == list_positions_.end() || position->second >= process_names.size()) return false;
  *name = process_names[position->second++];
  return true;
}

void FakeProcesses::CloseProcessList(ProcessListHandle list) {
  log_->Add("CloseProcessList " + HandleText(list));
  list_positions_.erase(list);
  open_.erase(list.value());
}

bool FakeProcesses::CreateProcessFromCommandLine(
    const std::string& command_line, const std::optional<std::string>& working_directory, int show,
    CreatedProcess* created) {
  if (log_->Add("CreateProcess " + command_line + " | " + Directory(working_directory) + " | " +
                std::to_string(show))) {
    return false;
  }
  return Start(command_line, created);
}

bool FakeProcesses::Start(const std::string& command_line, CreatedProcess* created) {
  auto program = programs_.find(ProgramOf(command_line));
  if (program == programs_.end()) return false;
  if (on_start) on_start(program->first);
  created->process = NewHandle<ProcessHandle>(program->second.exit_code);
  created->thread = NewHandle<ProcessHandle>(0);
  created->process_id = 4242;
  return true;
}

bool FakeProcesses::CreatePipePair(std::uint32_t size, PipeHandle* read_end,
                                   PipeHandle* write_end) {
  if (log_->Add("CreatePipe " + std::to_string(size))) return false;
  *read_end = NewHandle<PipeHandle>(0);
  *write_end = NewHandle<PipeHandle>(0);
  pipe_reads_[*write_end] = *read_end;
  pipe_bytes_[*read_end];
  return true;
}

bool FakeProcesses::WritePipe(PipeHandle write_end, const std::string& bytes) {
  if (log_->Add("WritePipe " + HandleText(write_end))) return false;
  auto pipe = pipe_reads_.find(write_end);
  if (pipe == pipe_reads_.end()) return false;
  pipe_bytes_[pipe->second] += bytes;
  return true;
}

void FakeProcesses::ClosePipe(PipeHandle end) {
  log_->Add("ClosePipe " + HandleText(end));
  open_.erase(end.value());
  pipe_reads_.erase(end);
}

bool FakeProcesses::CreateProcessHanding(const std::string& command_line,
                                         const std::optional<std::string>& working_directory,
                                         int show, PipeHandle handed, CreatedProcess* created) {
  if (log_->Add("CreateProcess " + command_line + " | " + Directory(working_directory) + " | " +
                std::to_string(show) + " | handing " + HandleText(handed))) {
    return false;
  }
  if (open_.count(handed.value()) == 0) return false;
  handed_bytes = pipe_bytes_[handed];
  return Start(command_line, created);
}

bool FakeProcesses::ReadHandedPipe(std::uint64_t value, std::uint32_t limit, std::string* bytes) {
  if (log_->Add("ReadHandedPipe " + std::to_string(value))) return false;
  auto pipe = handed_pipes.find(value);
  if (pipe == handed_pipes.end() || pipe->second.size() > limit) return false;
  *bytes = pipe->second;
  handed_pipes.erase(pipe);
  return true;
}

bool FakeProcesses::ShellExecuteWithHandle(const std::string& verb, const std::string& file,
                                           const std::string& parameters,
                                           const std::optional<std::string>& working_directory,
                                           int show, ProcessHandle* process) {
  if (log_->Add("ShellExecuteEx " + verb + " " + file + " | " + parameters + " | " +
                Directory(working_directory) + " | " + std::to_string(show))) {
    return false;
  }
  auto document = documents_.find(file);
  if (document == documents_.end()) return false;
  if (on_start) on_start(file);
  *process = document->second.reports_process ? NewHandle<ProcessHandle>(document->second.exit_code)
                                              : ProcessHandle();
  return true;
}

bool FakeProcesses::StartHidden(const std::string& command_line,
                                const std::string& working_directory) {
  if (log_->Add("StartHidden " + command_line + " | " + working_directory)) return false;
  return hidden_start_succeeds;
}

std::uint32_t FakeProcesses::OwnProcessId() {
  log_->Add("OwnProcessId");
  return process_id;
}

std::string FakeProcesses::SystemDirectory() {
  if (log_->Add("SystemDirectory")) return "";
  return system_directory;
}

void FakeProcesses::WaitForProcess(ProcessHandle process) {
  log_->Add("WaitForProcess " + HandleText(process));
}

bool FakeProcesses::WaitForProcessFor(ProcessHandle process, std::uint32_t milliseconds) {
  // A wait that fails returns at once, as if the program had ended.
  if (log_->Add("WaitForProcessFor " + HandleText(process) + " " + std::to_string(milliseconds))) {
    return true;
  }
  if (!process.valid() || timed_waits_before_exit == 0) return true;
  --timed_waits_before_exit;
  return false;
}

bool FakeProcesses::ExitCodeOf(ProcessHandle process, std::uint32_t* exit_code) {
  if (log_->Add("ExitCodeOf " + HandleText(process))) return false;
  auto handle = open_.find(process.value());
  if (handle == open_.end()) return false;
  *exit_code = handle->second;
  return true;
}

void FakeProcesses::EndProcess(ProcessHandle process) {
  log_->Add("EndProcess " + HandleText(process));
}

void FakeProcesses::CloseProcessHandle(ProcessHandle handle) {
  log_->Add("CloseProcessHandle " + HandleText(handle));
  open_.erase(handle.value());
}

}  // namespace uninstall
