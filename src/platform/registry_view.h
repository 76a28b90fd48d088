// What a plan of the removal reads of the registry beyond what the removal itself reads: whether
// a key or a value is there, and a key's subkeys. Nothing here changes the registry.
#ifndef UNINSTALL_PLATFORM_REGISTRY_VIEW_H_
#define UNINSTALL_PLATFORM_REGISTRY_VIEW_H_

#include <cstdint>
#include <string>
#include <vector>

namespace uninstall {

class RegistryView {
 public:
  virtual ~RegistryView() = default;

  // RegOpenKeyExA(root, path) for reading succeeds.
  virtual bool KeyExists(std::uint32_t root, const std::string& path) = 0;
  // RegQueryValueExA of `name` ("" the default value) finds a value of any type.
  virtual bool ValueExists(std::uint32_t root, const std::string& path,
                           const std::string& name) = 0;
  // RegEnumKeyExA: the names of the key's subkeys; none when the key cannot be opened.
  virtual std::vector<std::string> SubkeyNames(std::uint32_t root, const std::string& path) = 0;
};

}  // namespace uninstall

#endif  // UNINSTALL_PLATFORM_REGISTRY_VIEW_H_
