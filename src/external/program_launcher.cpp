#include "external/program_launcher.h"

#include <optional>

#include "common/paths.h"

namespace uninstall {
namespace {

constexpr std::uint32_t kWaitSliceMilliseconds = 50;

std::optional<std::string> Given(const std::string& directory) {
  if (directory.empty()) return std::nullopt;
  return directory;
}

}  // namespace

std::string ProgramCommandLine(const std::string& file, const std::string& parameters) {
  std::string line = !file.empty() && file.front() == '"' ? file : "\"" + file + "\"";
  if (!parameters.empty()) line += " " + parameters;
  return line;
}

std::string ShellWorkingDirectory(const std::string& file) {
  std::string directory = DirectoryPart(file, "\\");
  return directory.size() > 1 ? directory : "";
}

ProgramLauncher::StartResult ProgramLauncher::StartProgram(const std::string& file,
                                                           const std::string& parameters,
                                                           const std::string& working_directory,
                                                           std::uint32_t options) {
  bool wait = (options & kWaitForExit) != 0;
  bool keep = (options & kKeepHandle) != 0;

  CreatedProcess created;
  if (processes_.CreateProcessFromCommandLine(ProgramCommandLine(file, parameters),
                                              Given(working_directory), kShowNormal, &created)) {
    processes_.CloseProcessHandle(created.thread);
    if (wait) Wait(created.process);
    if (!keep) {
      processes_.CloseProcessHandle(created.process);
      return {true, nullptr};
    }
    return {true, Keep(created.process, created.process_id)};
  }

  // Not a program (a document, say): let the shell open it with its associated program.
  std::string directory =
      working_directory.empty() ? ShellWorkingDirectory(file) : working_directory;
  ProcessHandle process = 0;
  if (!processes_.ShellExecuteWithHandle("Open", file, parameters, Given(directory), kShowNormal,
                                         &process)) {
    return {};
  }
  if (wait) Wait(process);
  if (!keep) {
    if (process != 0) processes_.CloseProcessHandle(process);
    return {true, nullptr};
  }
  return {true, Keep(process, kUnknownProcessId)};
}

void ProgramLauncher::Wait(ProcessHandle process) {
  if (heartbeat_ == nullptr) {
    processes_.WaitForProcess(process);
    return;
  }
  // In slices, with a beat between them: a program that sends the window a message and waits
  // for the answer (a broadcast, say) would otherwise wait for the uninstaller for ever.
  while (!processes_.WaitForProcessFor(process, kWaitSliceMilliseconds)) heartbeat_->Beat();
}

RunningProgram* ProgramLauncher::Keep(ProcessHandle process, std::uint32_t process_id) {
  programs_.push_back(RunningProgram{process, process_id});
  return &programs_.back();
}

bool ProgramLauncher::WaitForExitWithin(const RunningProgram* program, std::uint32_t milliseconds) {
  if (program == nullptr) return true;
  for (std::uint32_t waited = 0; waited < milliseconds; waited += kWaitSliceMilliseconds) {
    if (processes_.WaitForProcessFor(program->process, kWaitSliceMilliseconds)) return true;
    if (heartbeat_ != nullptr) heartbeat_->Beat();
  }
  return false;
}

void ProgramLauncher::EndProgram(const RunningProgram* program) {
  if (program != nullptr && program->process != 0) processes_.EndProcess(program->process);
}

std::uint32_t ProgramLauncher::ProgramExitCode(const RunningProgram* program) {
  std::uint32_t code = 0;
  if (program == nullptr || !processes_.ExitCodeOf(program->process, &code)) return 0;
  return code;
}

void ProgramLauncher::CloseProgram(RunningProgram* program) {
  if (program == nullptr) return;
  if (program->process != 0) processes_.CloseProcessHandle(program->process);
  programs_.remove_if([program](const RunningProgram& p) { return &p == program; });
}

std::string ProgramLauncher::SystemProgramPath(const std::string& name) {
  const std::string directory = processes_.SystemDirectory();
  return directory.empty() ? std::string() : directory + "\\" + name;
}

std::string OwnProgramPath(Processes& processes, std::string* unrepresentable) {
  std::string path;
  bool exact = true;
  std::uint32_t length = processes.ModuleFileName(kOwnPathBufferSize, &path, &exact);
  // A path that filled the buffer was cut short, and a cut path names some other directory.
  if (length == 0 || length >= kOwnPathBufferSize || path.size() >= kOwnPathBufferSize) return "";
  if (!exact) {
    if (unrepresentable != nullptr) *unrepresentable = path;
    return "";
  }
  return path;
}

}  // namespace uninstall
