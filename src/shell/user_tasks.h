// The user tasks the installer recorded in [UserTask]: registry values, DLLs, file
// associations and further files.
#ifndef UNINSTALL_SHELL_USER_TASKS_H_
#define UNINSTALL_SHELL_USER_TASKS_H_

#include <string>

#include "shell/shell_integration.h"

namespace uninstall {

// Works through Task1 to Task<Number> of [UserTask], skipping missing ones.
void RemoveUserTasks(const ShellIntegrationParts& parts, const Description& description);

}  // namespace uninstall

#endif  // UNINSTALL_SHELL_USER_TASKS_H_
