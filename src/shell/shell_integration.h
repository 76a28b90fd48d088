// Links, the per-user product key, user tasks and the start-menu directory.
#ifndef UNINSTALL_SHELL_SHELL_INTEGRATION_H_
#define UNINSTALL_SHELL_SHELL_INTEGRATION_H_

#include <string>

#include "common/progress.h"
#include "description/description.h"
#include "description/uninstall_settings.h"
#include "external/program_launcher.h"
#include "platform/file_system.h"
#include "platform/registry.h"

namespace uninstall {

struct ShellIntegrationParts {
  FileSystem& fs;
  Registry& registry;
  ProgramLauncher& launcher;
  Progress& progress;
};

// The first removal step: the start-menu and desktop links, the per-user product key (only with
// `remove_product_key`: the user's explicit "delete all" in the window), the user tasks, and the
// start-menu directory once empty.
void RemoveShellIntegration(const ShellIntegrationParts& parts, const Description& description,
                            const UninstallSettings& settings, bool remove_product_key);

}  // namespace uninstall

#endif  // UNINSTALL_SHELL_SHELL_INTEGRATION_H_
