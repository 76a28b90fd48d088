#include "shell/registry_deletion.h"

namespace uninstall {

bool DeleteRegistryValue(Registry& registry, std::uint32_t root, const std::string& path,
                         const std::string& name) {
  RegistryHandle key = {};
  if (!registry.CreateKey(root, path, &key)) return false;
  bool deleted = registry.DeleteValue(key, name);
  registry.CloseKey(key);
  return deleted;
}

bool DeleteRegistryKey(Registry& registry, std::uint32_t root, const std::string& path) {
  // Always the local computer: the root is opened by the empty computer name.
  RegistryHandle root_key = {};
  if (!registry.ConnectRegistry("", root, &root_key)) return false;
  bool deleted = registry.DeleteKey(root_key, path);
  registry.CloseKey(root_key);
  return deleted;
}

}  // namespace uninstall
