// The user tasks the installer recorded in [UserTask]: registry values, DLLs, file
// associations and further files.
#ifndef UNINSTALL_SHELL_USER_TASKS_H_
#define UNINSTALL_SHELL_USER_TASKS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "shell/shell_integration.h"
#include "ui/status_line.h"

namespace uninstall {

// The highest n of the keys "Task<n>" (any letter case, n without leading zeros); 0 for none.
std::int64_t HighestTaskNumber(const std::vector<std::string>& keys);

// Works through Task1 to Task<Number> of `description_file_path`, skipping missing ones.
void RemoveUserTasks(const ShellIntegrationParts& parts, const StatusLine& status,
                     const std::string& description_file_path);

}  // namespace uninstall

#endif  // UNINSTALL_SHELL_USER_TASKS_H_
