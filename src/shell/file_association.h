// Removing the registry keys that tie a file extension to the program.
#ifndef UNINSTALL_SHELL_FILE_ASSOCIATION_H_
#define UNINSTALL_SHELL_FILE_ASSOCIATION_H_

#include <string>

#include "platform/registry.h"

namespace uninstall {

// `extension` without its dot; `registration_name` the application or class name. The layout
// follows the platform's version word. The program's own registration goes whatever it holds;
// the extension's key, and the current user's choice for it, only while they name this program
// or nothing: another program that has taken the extension over keeps it.
void RemoveFileAssociation(Registry& registry, const std::string& extension,
                           const std::string& registration_name);

}  // namespace uninstall

#endif  // UNINSTALL_SHELL_FILE_ASSOCIATION_H_
