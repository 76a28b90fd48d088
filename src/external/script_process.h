// The uninstall script runs in a second instance of the uninstaller, which the first one ends
// once its time is up. The script engine's own time-out does not hold everywhere (Wine ignores
// it), and where it holds it asks the user whether to go on, which nobody answers in quiet
// mode: a script that never ends would hold up the uninstallation for ever. What the script did
// stays; an engine that crashes takes only the second instance with it.
#ifndef UNINSTALL_EXTERNAL_SCRIPT_PROCESS_H_
#define UNINSTALL_EXTERNAL_SCRIPT_PROCESS_H_

#include <cstdint>
#include <string>

#include "external/program_launcher.h"
#include "external/script_header.h"
#include "external/script_host.h"
#include "platform/process.h"

namespace uninstall {

// The first parameter of the second instance. Only an instance started with it reads the values
// below: they come from the environment, which an elevated program takes over from the user's
// own settings, where any program of that user can put them.
inline constexpr char kScriptSwitch[] = "/UNINSTSCRIPT";

// The environment values through which the second instance learns what to run: the script's
// path, the three constants, and whether the engine may show its own dialogs ("1") or not
// (quiet mode).
inline constexpr char kScriptPathVariable[] = "UNINST_SCRIPT";
inline constexpr char kScriptProgDirVariable[] = "UNINST_SCRIPT_PROGDIR";
inline constexpr char kScriptStartMenuVariable[] = "UNINST_SCRIPT_STARTMENU";
inline constexpr char kScriptGuidVariable[] = "UNINST_SCRIPT_GUID";
inline constexpr char kScriptUiVariable[] = "UNINST_SCRIPT_UI";

// The time the second instance gets from its start: the script's time-out and a little more for
// the instance's own start and the engine's.
inline constexpr std::uint32_t kScriptStartMilliseconds = 2000;
inline constexpr std::uint32_t kScriptProcessMilliseconds =
    kScriptTimeoutMilliseconds + kScriptStartMilliseconds;

// Starts the uninstaller at `own_path` again to run `script` with `constants`, and waits for it
// at most kScriptProcessMilliseconds; one that still runs then is ended. The values are in the
// environment only while the instance runs. When it cannot start, the script is passed over.
void RunScriptInOwnProcess(ProgramLauncher& launcher, Processes& processes,
                           const std::string& own_path, const std::string& script,
                           const ScriptConstants& constants, bool allow_ui);

// In the second instance, whose first parameter is kScriptSwitch: runs the script its
// environment names, if any, through `host`, and returns true; false, with nothing done, in an
// instance that was not started for a script.
bool RunScriptIfAsked(const std::string& first_parameter, Processes& processes, ScriptHost& host);

}  // namespace uninstall

#endif  // UNINSTALL_EXTERNAL_SCRIPT_PROCESS_H_
