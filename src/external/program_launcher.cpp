#include "external/program_launcher.h"

#include <optional>

namespace uninstall {
namespace {

constexpr std::uint32_t kWaitSliceMilliseconds = 50;

}  // namespace

std::optional<std::uint32_t> ProgramLauncher::Run(const std::string& file,
                                                  const std::string& parameters,
                                                  const std::string& working_directory,
                                                  Progress& progress,
                                                  std::optional<std::uint32_t> time_limit) {
  return Finish(launcher_.StartProgram(file, parameters, working_directory), progress, time_limit);
}

std::optional<std::uint32_t> ProgramLauncher::Unregister(const std::string& tool,
                                                         const std::string& dll,
                                                         Progress& progress) {
  return Finish(launcher_.StartUnregistration(tool, dll), progress, std::nullopt);
}

std::optional<std::uint32_t> ProgramLauncher::RunScript(const std::string& own_path,
                                                        const ScriptRequest& request,
                                                        Progress& progress,
                                                        std::uint32_t time_limit,
                                                        const TimeUp& time_up) {
  return Finish(launcher_.StartScript(own_path, request), progress, time_limit, time_up);
}

std::optional<std::uint32_t> ProgramLauncher::Finish(ProcessHandle started, Progress& progress,
                                                     std::optional<std::uint32_t> time_limit,
                                                     const TimeUp& time_up) {
  if (!started.valid()) return std::nullopt;
  const ScopedProcess process(processes_, started);
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
