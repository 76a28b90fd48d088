#include "external/script_process.h"

namespace uninstall {
namespace {

// Every value, so that none is left over for the programs started later.
void ClearScriptValues(Processes& processes) {
  for (const char* name : {kScriptPathVariable, kScriptProgDirVariable, kScriptStartMenuVariable,
                           kScriptGuidVariable, kScriptUiVariable}) {
    processes.SetEnvironmentValue(name, "");
  }
}

std::string ValueOf(Processes& processes, const char* name) {
  std::string value;
  processes.EnvironmentValue(name, &value);
  return value;
}

}  // namespace

void RunScriptInOwnProcess(ProgramLauncher& launcher, Processes& processes,
                           const std::string& own_path, const std::string& script,
                           const ScriptConstants& constants, bool allow_ui) {
  if (own_path.empty()) return;
  // An empty constant is no variable at all (removing one that is not there may fail).
  ClearScriptValues(processes);
  auto put = [&](const char* name, const std::string& value) {
    return value.empty() || processes.SetEnvironmentValue(name, value);
  };
  const bool set =
      put(kScriptPathVariable, script) && put(kScriptProgDirVariable, constants.uninstaller_dir) &&
      put(kScriptStartMenuVariable, constants.start_menu) &&
      put(kScriptGuidVariable, constants.guid) && put(kScriptUiVariable, allow_ui ? "1" : "0");
  // Whatever the script does, its time is limited: once it is up, the instance is ended.
  NoProgress progress;
  if (set) launcher.Run(own_path, kScriptSwitch, "", progress, kScriptProcessMilliseconds);
  ClearScriptValues(processes);
}

bool RunScriptIfAsked(const std::string& first_parameter, Processes& processes, ScriptHost& host) {
  if (first_parameter != kScriptSwitch) return false;
  // Started for a script, the instance never goes on to uninstall, even without one.
  std::string script;
  if (!processes.EnvironmentValue(kScriptPathVariable, &script)) return true;
  const ScriptConstants constants{ValueOf(processes, kScriptProgDirVariable),
                                  ValueOf(processes, kScriptStartMenuVariable),
                                  ValueOf(processes, kScriptGuidVariable)};
  host.CreateEngine(ValueOf(processes, kScriptUiVariable) == "1");
  host.RunUninstallScript(script, constants);
  host.ReleaseEngine();
  return true;
}

}  // namespace uninstall
