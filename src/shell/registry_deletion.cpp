#include "shell/registry_deletion.h"

#include "platform/scoped_handle.h"
namespace uninstall {

bool DeleteRegistryValue(Registry& registry, std::uint32_t root, const std::string& path,
                         const std::string& name) {
  RegistryHandle created;
  if (!registry.CreateKey(root, path, &created)) return false;
  const ScopedKey key(registry, created);
  return registry.DeleteValue(key.get(), name);
}

bool DeleteRegistryKey(Registry& registry, std::uint32_t root, const std::string& path) {
  // Always the local computer: the root is opened by the empty computer name.
  RegistryHandle connected;
  if (!registry.ConnectRegistry("", root, &connected)) return false;
  const ScopedKey root_key(registry, connected);
  return registry.DeleteKey(root_key.get(), path);
}

}  // namespace uninstall
