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

std::optional<std::uint32_t> ProgramLauncher::Run(const std::string& file,
                                                  const std::string& parameters,
                                                  const std::string& working_directory,
                                                  Progress& progress,
                                                  std::optional<std::uint32_t> time_limit) {
  ProcessHandle process = {};
  CreatedProcess created;
  if (processes_.CreateProcessFromCommandLine(ProgramCommandLine(file, parameters),
                                              Given(working_directory), kShowNormal, &created)) {
    processes_.CloseProcessHandle(created.thread);
    process = created.process;
  } else {
    // Not a program (a document, say): the shell opens it with its associated program.
    const std::string directory =
        working_directory.empty() ? ShellWorkingDirectory(file) : working_directory;
    if (!processes_.ShellExecuteWithHandle("Open", file, parameters, Given(directory), kShowNormal,
                                           &process) ||
        !process.valid()) {
      return std::nullopt;
    }
  }
  return Finish(ScopedProcess(processes_, process), progress, time_limit);
}

std::optional<std::uint32_t> ProgramLauncher::RunHanding(const std::string& file,
                                                         const std::string& parameters,
                                                         PipeHandle handed, Progress& progress,
                                                         std::uint32_t time_limit,
                                                         const TimeUp& time_up) {
  CreatedProcess created;
  if (!processes_.CreateProcessHanding(ProgramCommandLine(file, parameters), std::nullopt,
                                       kShowNormal, handed, &created)) {
    return std::nullopt;
  }
  processes_.CloseProcessHandle(created.thread);
  return Finish(ScopedProcess(processes_, created.process), progress, time_limit, time_up);
}

std::optional<std::uint32_t> ProgramLauncher::Finish(ScopedProcess process, Progress& progress,
                                                     std::optional<std::uint32_t> time_limit,
                                                     const TimeUp& time_up) {
  std::optional<std::uint32_t> exit_code;
  if (WaitForExit(process.get(), progress, time_limit, time_up)) {
    std::uint32_t code = 0;
    if (processes_.ExitCodeOf(process.get(), &code)) exit_code = code;
  } else {
    processes_.EndProcess(process.get());
  }
  return exit_code;
}

bool ProgramLauncher::WaitForExit(ProcessHandle process, Progress& progress,
                                  std::optional<std::uint32_t> time_limit, const TimeUp& time_up) {
  // In slices, with a beat between them: a program that sends the window a message and waits
  // for the answer (a broadcast, say) would otherwise wait for the uninstaller for ever.
  for (;;) {
    for (std::uint32_t waited = 0; !time_limit || waited < *time_limit;
         waited += kWaitSliceMilliseconds) {
      if (processes_.WaitForProcessFor(process, kWaitSliceMilliseconds)) return true;
      progress.Beat();
    }
    if (!time_up || time_up(process)) return false;
  }
}

std::string ProgramLauncher::SystemProgramPath(const std::string& name) {
  const std::string directory = processes_.SystemDirectory();
  return directory.empty() ? std::string() : directory + "\\" + name;
}

}  // namespace uninstall
