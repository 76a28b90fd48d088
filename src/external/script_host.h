// Runs the installation's uninstall script through the system's script engine.
#ifndef UNINSTALL_EXTERNAL_SCRIPT_HOST_H_
#define UNINSTALL_EXTERNAL_SCRIPT_HOST_H_

#include <cstdint>
#include <string>

#include "external/script_header.h"
#include "platform/file_system.h"
#include "platform/script_engine.h"

namespace uninstall {

inline constexpr std::int32_t kScriptTimeoutMilliseconds = 20000;
// The engine's time-out where the uninstaller asks the user itself (see script_process.h).
inline constexpr std::int32_t kNoScriptTimeout = -1;

// One engine for the whole run: created at start-up, released at the end.
class ScriptHost {
 public:
  ScriptHost(ScriptEngine& engine, FileSystem& fs) : engine_(engine), fs_(fs) {}

  // Creates the engine, resets it, lets it show its own dialogs or not, and sets VBScript. A
  // failure is not reported: the host then runs no script. Where dialogs are allowed, the
  // engine gets no time-out: the uninstaller that waits for this one asks the user itself.
  void CreateEngine(bool allow_ui = true);
  // Hands the file's lines, each ending with CR LF, to the engine in the language of its
  // extension (vbs or js), after the constants. True when the code went to the engine; false
  // without an engine (nothing is read), when the file cannot be opened, or for any other
  // extension. What the script does, errors included, is the engine's affair.
  bool RunUninstallScript(const std::string& path, const ScriptConstants& constants);
  // Releases the engine, once, whatever its creation gave.
  void ReleaseEngine();

 private:
  ScriptEngine& engine_;
  FileSystem& fs_;
  bool created_ = false;     // CreateEngine ran and ReleaseEngine has not yet
  bool has_engine_ = false;  // the engine exists
  bool allow_ui_ = true;
};

}  // namespace uninstall

#endif  // UNINSTALL_EXTERNAL_SCRIPT_HOST_H_
