#include "platform/win32/win32_registry.h"

#include <windows.h>

#include "platform/win32/registry_root.h"
#include "platform/win32/win32_handles.h"

namespace uninstall {
namespace {

HKEY Key(RegistryHandle key) { return ToSystem<HKEY>(key); }

}  // namespace

bool Win32Registry::CreateKey(std::uint32_t root, const std::string& path, RegistryHandle* key) {
  HKEY opened = nullptr;
  if (RegCreateKeyA(RootKey(root), path.c_str(), &opened) != ERROR_SUCCESS) return false;
  *key = FromSystem(opened);
  return true;
}

bool Win32Registry::DeleteValue(RegistryHandle key, const std::string& name) {
  return RegDeleteValueA(Key(key), name.c_str()) == ERROR_SUCCESS;
}

bool Win32Registry::ConnectRegistry(const std::string& computer, std::uint32_t root,
                                    RegistryHandle* key) {
  HKEY opened = nullptr;
  if (RegConnectRegistryA(computer.c_str(), RootKey(root), &opened) != ERROR_SUCCESS) {
    return false;
  }
  *key = FromSystem(opened);
  return true;
}

ValueRead Win32Registry::ReadStringValue(std::uint32_t root, const std::string& path,
                                         const std::string& name, std::string* data) {
  HKEY opened = nullptr;
  LONG status = RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_QUERY_VALUE, &opened);
  if (status == ERROR_FILE_NOT_FOUND) return ValueRead::kMissing;
  if (status != ERROR_SUCCESS) return ValueRead::kOther;
  DWORD type = 0;
  DWORD size = 0;
  status = RegQueryValueExA(opened, name.c_str(), nullptr, &type, nullptr, &size);
  ValueRead result = ValueRead::kOther;
  if (status == ERROR_FILE_NOT_FOUND) {
    result = ValueRead::kMissing;
  } else if (status == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
    std::string bytes(size, '\0');
    status = RegQueryValueExA(opened, name.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(bytes.data()), &size);
    if (status == ERROR_SUCCESS) {
      bytes.resize(size);
      // Stored with one terminator, or none, or several.
      while (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
      *data = bytes;
      result = ValueRead::kString;
    }
  }
  RegCloseKey(opened);
  return result;
}

bool Win32Registry::DeleteKey(RegistryHandle key, const std::string& path) {
  return RegDeleteKeyA(Key(key), path.c_str()) == ERROR_SUCCESS;
}

void Win32Registry::CloseKey(RegistryHandle key) { RegCloseKey(Key(key)); }

std::uint32_t Win32Registry::VersionWord() {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  return GetVersion();
#pragma GCC diagnostic pop
}

}  // namespace uninstall
