#include "platform/win32/win32_registry_view.h"

#include <windows.h>

#include "platform/win32/registry_root.h"

namespace uninstall {
namespace {

HKEY OpenForReading(std::uint32_t root, const std::string& path) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
    return nullptr;
  }
  return opened;
}

}  // namespace

bool Win32RegistryView::KeyExists(std::uint32_t root, const std::string& path) {
  HKEY opened = OpenForReading(root, path);
  if (opened == nullptr) return false;
  RegCloseKey(opened);
  return true;
}

bool Win32RegistryView::ValueExists(std::uint32_t root, const std::string& path,
                                    const std::string& name) {
  HKEY opened = OpenForReading(root, path);
  if (opened == nullptr) return false;
  const LONG status = RegQueryValueExA(opened, name.c_str(), nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(opened);
  return status == ERROR_SUCCESS;
}

std::vector<std::string> Win32RegistryView::SubkeyNames(std::uint32_t root,
                                                        const std::string& path) {
  std::vector<std::string> names;
  HKEY opened = OpenForReading(root, path);
  if (opened == nullptr) return names;
  for (DWORD index = 0;; ++index) {
    char name[256];  // a key name has at most 255 characters
    DWORD size = sizeof(name);
    if (RegEnumKeyExA(opened, index, name, &size, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    names.emplace_back(name, size);
  }
  RegCloseKey(opened);
  return names;
}

}  // namespace uninstall
