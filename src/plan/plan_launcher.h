// The launcher of a plan: programs, DLL unregistrations and the script are written to the plan
// instead of being started, and each "ends" at once with exit code 0; the self-removal at the
// end is carried out on the plan's file system.
#ifndef UNINSTALL_PLAN_PLAN_LAUNCHER_H_
#define UNINSTALL_PLAN_PLAN_LAUNCHER_H_

#include <string>

#include "plan/plan_file_system.h"
#include "plan/plan_log.h"
#include "platform/launcher.h"

namespace uninstall {

// The process of every planned start; the plan's processes answer that it has ended.
inline constexpr ProcessHandle kPlannedProcess(1);

class PlanLauncher : public Launcher {
 public:
  PlanLauncher(PlanFileSystem& fs, PlanLog* plan) : fs_(fs), plan_(plan) {}

  ProcessHandle StartProgram(const std::string& file, const std::string& parameters,
                             const std::string& working_directory) override;
  ProcessHandle StartUnregistration(const std::string& tool, const std::string& dll) override;
  ProcessHandle StartScript(const std::string& own_path, const ScriptRequest& request) override;
  void StartSelfRemoval(const std::string& exe, const std::string& directory) override;

 private:
  PlanFileSystem& fs_;
  PlanLog* plan_;
};

}  // namespace uninstall

#endif  // UNINSTALL_PLAN_PLAN_LAUNCHER_H_
