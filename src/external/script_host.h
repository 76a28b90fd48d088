// Runs the installation's uninstall script through the system's script engine.
#ifndef UNINSTALL_EXTERNAL_SCRIPT_HOST_H_
#define UNINSTALL_EXTERNAL_SCRIPT_HOST_H_

#include <string>

#include "platform/file_system.h"
#include "platform/script_engine.h"

namespace uninstall {

// The script engine is not wired up yet: the host creates no engine and runs no script.
class ScriptHost {
 public:
  ScriptHost(ScriptEngine& engine, FileSystem& fs) : engine_(engine), fs_(fs) {}

  void CreateEngine() {}
  // False: no script was handed to an engine.
  bool RunUninstallScript(const std::string& /*path*/) { return false; }
  void ReleaseEngine() {}

 private:
  [[maybe_unused]] ScriptEngine& engine_;
  [[maybe_unused]] FileSystem& fs_;
};

}  // namespace uninstall

#endif  // UNINSTALL_EXTERNAL_SCRIPT_HOST_H_
