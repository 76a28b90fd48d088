// The two registry deletions every registry clean-up goes through.
#ifndef UNINSTALL_SHELL_REGISTRY_DELETION_H_
#define UNINSTALL_SHELL_REGISTRY_DELETION_H_

#include <cstdint>
#include <string>

#include "platform/registry.h"

namespace uninstall {

// Opens the key with create-or-open semantics (a missing key is created, empty, with its
// parents), deletes the value ("" is the default value) and closes the key.
bool DeleteRegistryValue(Registry& registry, std::uint32_t root, const std::string& path,
                         const std::string& name);

// Deletes one key without subkeys, through the local computer's root opened by name "".
bool DeleteRegistryKey(Registry& registry, std::uint32_t root, const std::string& path);

}  // namespace uninstall

#endif  // UNINSTALL_SHELL_REGISTRY_DELETION_H_
