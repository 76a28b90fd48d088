#ifndef UNINSTALL_PLATFORM_WIN32_WIN32_REGISTRY_H_
#define UNINSTALL_PLATFORM_WIN32_WIN32_REGISTRY_H_

#include "platform/registry.h"

namespace uninstall {

class Win32Registry : public Registry {
 public:
  bool CreateKey(std::uint32_t root, const std::string& path, RegistryHandle* key) override;
  bool DeleteValue(RegistryHandle key, const std::string& name) override;
  bool ConnectRegistry(const std::string& computer, std::uint32_t root,
                       RegistryHandle* key) override;
  bool DeleteKey(RegistryHandle key, const std::string& path) override;
  void CloseKey(RegistryHandle key) override;
  ValueRead ReadStringValue(std::uint32_t root, const std::string& path, const std::string& name,
                            std::string* data) override;
  std::uint32_t VersionWord() override;
};

}  // namespace uninstall

#endif  // UNINSTALL_PLATFORM_WIN32_WIN32_REGISTRY_H_
