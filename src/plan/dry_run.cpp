#include "plan/dry_run.h"

#include "common/paths.h"
#include "description/description.h"
#include "description/uninstall_settings.h"
#include "driver/uninstall_sequence.h"
#include "files/path_probe.h"
#include "plan/plan_file_system.h"
#include "plan/plan_launcher.h"
#include "plan/plan_processes.h"
#include "plan/plan_registry.h"
#include "plan/plan_security.h"
#include "plan/plan_windows.h"

namespace uninstall {
namespace {

// Whether the uninstaller would start a before-program, which could cancel the run.
bool HasBeforeProgram(FileSystem& fs, const std::string& uninstaller_dir) {
  const std::string description_path = uninstaller_dir + "uninstall.dat";
  if (!IsExistingFile(fs, description_path)) return false;
  const Description description(fs, description_path);
  const UninstallSettings settings = ReadUninstallSettings(description, uninstaller_dir);
  return !settings.before_uninst.empty() &&
         IsExistingFile(fs, uninstaller_dir + settings.before_uninst);
}

}  // namespace

std::vector<std::string> PlanUninstallation(const SystemParts& system, const std::string& own_path,
                                            PlanMode mode) {
  PlanLog plan(system.fs);
  PlanFileSystem fs(system.fs, &plan);
  fs.SetRunningProgram(own_path);
  PlanRegistry registry(system.registry, system.registry_view, system.fs, &plan);
  PlanProcesses processes(system.processes, own_path, mode == PlanMode::kQuiet);
  PlanLauncher launcher(fs, &plan);
  PlanSecurity security(system.security);
  PlanScriptEngine script_engine;
  PlanWindows windows(mode == PlanMode::kDeleteAll, &plan);
  const bool before_program = HasBeforeProgram(fs, DirectoryPart(own_path));
  UninstallSequence(
      PlatformParts{fs, processes, launcher, registry, security, script_engine, windows})
      .Run();

  std::vector<std::string> lines;
  if (before_program) {
    lines.push_back(
        "assume the before-program ends with an exit code other than 1, which would "
        "cancel the uninstallation");
  }
  if (plan.Has("run ") || plan.Has("script ") || plan.Has("unregister ")) {
    lines.push_back(
        "assume the programs and the script change nothing: what they remove "
        "themselves is not listed");
  }
  if (security.logon_assumed()) {
    lines.push_back("assume the administrator logon succeeds (the rights are missing now)");
  }
  if (windows.delete_all_withheld()) {
    lines.push_back(
        "assume no \"Delete all\": the window does not offer it here, so the "
        "ordinary removal runs");
  }
  lines.insert(lines.end(), plan.lines().begin(), plan.lines().end());
  return lines;
}

}  // namespace uninstall
