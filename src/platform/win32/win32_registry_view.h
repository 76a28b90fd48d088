#ifndef UNINSTALL_PLATFORM_WIN32_WIN32_REGISTRY_VIEW_H_
#define UNINSTALL_PLATFORM_WIN32_WIN32_REGISTRY_VIEW_H_

#include "platform/registry_view.h"

namespace uninstall {

class Win32RegistryView : public RegistryView {
 public:
  bool KeyExists(std::uint32_t root, const std::string& path) override;
  bool ValueExists(std::uint32_t root, const std::string& path, const std::string& name) override;
  std::vector<std::string> SubkeyNames(std::uint32_t root, const std::string& path) override;
};

}  // namespace uninstall

#endif  // UNINSTALL_PLATFORM_WIN32_WIN32_REGISTRY_VIEW_H_
