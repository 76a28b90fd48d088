// Starts external programs (or opens documents through the shell) through the launcher's
// intents, waits for them and reads their exit codes.
#ifndef UNINSTALL_EXTERNAL_PROGRAM_LAUNCHER_H_
#define UNINSTALL_EXTERNAL_PROGRAM_LAUNCHER_H_

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "common/progress.h"
#include "platform/launcher.h"
#include "platform/process.h"
#include "platform/scoped_handle.h"

namespace uninstall {

class ProgramLauncher {
 public:
  ProgramLauncher(Launcher& launcher, Processes& processes)
      : launcher_(launcher), processes_(processes) {}

  // Asked each time a program's time limit is reached: true ends it, false lets it run for
  // another such time.
  using TimeUp = std::function<bool(ProcessHandle process)>;

  // Starts `file` with `parameters` in `working_directory` ("" means not given); what is no
  // program (a document, say) is opened through the shell. Then waits for it to end, with a beat
  // of `progress` every few dozen milliseconds, so that a window stays alive meanwhile; with a
  // `time_limit` in milliseconds, a program still running then is ended. Its exit code; none when
  // it could not be started, was ended, or came without a process to wait for (a document opened
  // in a program that already ran).
  std::optional<std::uint32_t> Run(const std::string& file, const std::string& parameters,
                                   const std::string& working_directory, Progress& progress,
                                   std::optional<std::uint32_t> time_limit = std::nullopt);
  // As Run, for the registration tool at `tool` unregistering `dll`.
  std::optional<std::uint32_t> Unregister(const std::string& tool, const std::string& dll,
                                          Progress& progress);
  // As Run, for the uninstaller at `own_path` running the script of `request`; when its time is
  // up, `time_up` decides (without one it is ended).
  std::optional<std::uint32_t> RunScript(const std::string& own_path, const ScriptRequest& request,
                                         Progress& progress, std::uint32_t time_limit,
                                         const TimeUp& time_up = {});

  // The full path of the system's program `name` in the system directory; "" when the system
  // does not say where that is. A program is never started by its bare name, which Windows
  // would first look for beside the uninstaller and in the current directory.
  std::string SystemProgramPath(const std::string& name);

 private:
  // Waits for a started process as Run does, ends it when the limit is reached, and closes it;
  // its exit code when it ended, none for no process.
  std::optional<std::uint32_t> Finish(ProcessHandle started, Progress& progress,
                                      std::optional<std::uint32_t> time_limit,
                                      const TimeUp& time_up = {});
  // True when the process ended within the limit (and the further ones `time_up` gave).
  bool WaitForExit(ProcessHandle process, Progress& progress,
                   std::optional<std::uint32_t> time_limit, const TimeUp& time_up);

  Launcher& launcher_;
  Processes& processes_;
};

}  // namespace uninstall

#endif  // UNINSTALL_EXTERNAL_PROGRAM_LAUNCHER_H_
