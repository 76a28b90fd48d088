// The uninstall script runs in a second instance of the uninstaller, which the first one ends
// once its time is up. The script engine's own time-out does not hold everywhere (Wine ignores
// it), and where it holds it asks the user whether to go on, which nobody answers in quiet
// mode: a script that never ends would hold up the uninstallation for ever. So in quiet mode the
// instance is ended at the time-out; where somebody can answer, the first instance asks as the
// engine would (and the engine asks nothing). What the script did stays; an engine that crashes
// takes only the second instance with it.
//
// What the second instance runs comes only from the instance that started it, through the read
// end of a pipe that is the one handle it inherits: no other program can hand an instance such a
// handle across the elevation that the uninstaller asks for, and no value of the environment or
// the command line alone, which any program of the user can set, makes an instance run a script.
#ifndef UNINSTALL_EXTERNAL_SCRIPT_PROCESS_H_
#define UNINSTALL_EXTERNAL_SCRIPT_PROCESS_H_

#include <cstdint>
#include <optional>
#include <string>

#include "external/program_launcher.h"
#include "external/script_header.h"
#include "external/script_host.h"
#include "platform/process.h"

namespace uninstall {

// The first parameter of the second instance; the second one is the number of its pipe.
inline constexpr char kScriptSwitch[] = "/UNINSTSCRIPT";

// The time the second instance gets from its start: the script's time-out and a little more for
// the instance's own start and the engine's.
inline constexpr std::uint32_t kScriptStartMilliseconds = 2000;
inline constexpr std::uint32_t kScriptProcessMilliseconds =
    kScriptTimeoutMilliseconds + kScriptStartMilliseconds;

// The most the second instance reads from its pipe.
inline constexpr std::uint32_t kScriptRequestLimit = 1 << 20;

// The request as the pipe carries it, and read back; nothing from bytes that are not exactly
// such a request (another program's, or cut short).
std::string EncodedScriptRequest(const ScriptRequest& request);
std::optional<ScriptRequest> DecodedScriptRequest(const std::string& bytes);

// Starts the uninstaller at `own_path` again for the request, and waits for it. Each time it has
// run kScriptProcessMilliseconds more, `time_up` decides whether it is ended (true) or may go on;
// without one it is ended then. When it cannot start, the script is passed over.
void RunScriptInOwnProcess(ProgramLauncher& launcher, const std::string& own_path,
                           const ScriptRequest& request,
                           const ProgramLauncher::TimeUp& time_up = {});

// In the second instance, whose parameters are kScriptSwitch and the number of a pipe it was
// handed: runs the script of the request read from that pipe through `host`, and returns true.
// False, with nothing done, in any other instance, and in one whose parameters name no pipe it
// holds or whose pipe holds no request: that one goes on as any run with such a first
// parameter would.
bool RunScriptIfAsked(const std::string& first_parameter, const std::string& second_parameter,
                      Processes& processes, ScriptHost& host);

}  // namespace uninstall

#endif  // UNINSTALL_EXTERNAL_SCRIPT_PROCESS_H_
