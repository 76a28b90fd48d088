// The dry run of one uninstallation: the real run of the uninstaller, on copies of the system's
// parts held in memory, so that it reads the machine as it is and changes nothing of it.
#ifndef UNINSTALL_PLAN_DRY_RUN_H_
#define UNINSTALL_PLAN_DRY_RUN_H_

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/registry_view.h"
#include "platform/security.h"

namespace uninstall {

// The system's parts that a plan reads.
struct SystemParts {
  FileSystem& fs;
  Processes& processes;
  Registry& registry;
  RegistryView& registry_view;
  Security& security;
};

enum class PlanMode {
  kQuiet,      // started with /Q
  kDeleteAll,  // through the window, "Delete all" ticked where it is offered, OK, Ready
};

// The plan of the uninstallation that the uninstaller at `own_path` would carry out in `mode`:
// first what the plan had to assume ("assume ..."), then one line per action, in the order of
// the real run ("remove file|directory PATH", "remove key KEY", "remove value KEY NAME",
// "run PATH PARAMETERS", "script PATH", "unregister PATH", "message TITLE: TEXT").
std::vector<std::string> PlanUninstallation(const SystemParts& system, const std::string& own_path,
                                            PlanMode mode);

}  // namespace uninstall

#endif  // UNINSTALL_PLAN_DRY_RUN_H_
