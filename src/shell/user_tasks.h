// The user tasks the installer recorded in [UserTask]: registry values, DLLs, file
// associations and further files.
#ifndef UNINSTALL_SHELL_USER_TASKS_H_
#define UNINSTALL_SHELL_USER_TASKS_H_

#include <string>

#include "common/status_line.h"
#include "shell/shell_integration.h"

namespace uninstall {

// Works through Task1 to Task<Number> of `description_file_path`, skipping missing ones.
void RemoveUserTasks(const ShellIntegrationParts& parts, const StatusLine& status,
                     const std::string& description_file_path);

}  // namespace uninstall

#endif  // UNINSTALL_SHELL_USER_TASKS_H_
