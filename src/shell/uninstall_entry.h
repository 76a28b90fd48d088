// The program's entry in the system's list of installed programs.
#ifndef UNINSTALL_SHELL_UNINSTALL_ENTRY_H_
#define UNINSTALL_SHELL_UNINSTALL_ENTRY_H_

#include <string>

#include "common/progress.h"
#include "platform/registry.h"

namespace uninstall {

// Deletes the seven values of the entry and then its key; nothing for an empty name.
void RemoveUninstallEntry(Registry& registry, const std::string& entry_name, Progress& progress);

}  // namespace uninstall

#endif  // UNINSTALL_SHELL_UNINSTALL_ENTRY_H_
