// Registry calls at the level of the Win32 registry API. Roots are the 32-bit numbers of the
// predefined keys (0x80000000 HKEY_CLASSES_ROOT, ...), passed to the platform unchanged.
#ifndef UNINSTALL_PLATFORM_REGISTRY_H_
#define UNINSTALL_PLATFORM_REGISTRY_H_

#include <cstdint>
#include <string>

#include "platform/handle.h"

namespace uninstall {

inline constexpr std::uint32_t kClassesRoot = 0x80000000;
inline constexpr std::uint32_t kCurrentUser = 0x80000001;
inline constexpr std::uint32_t kLocalMachine = 0x80000002;

using RegistryHandle = Handle<struct RegistryKind>;

// What a value read gives.
enum class ValueRead {
  kString,   // a string (REG_SZ or REG_EXPAND_SZ)
  kMissing,  // no such key, or no such value in it
  kOther,    // of another type, or not readable (no right, a failing call)
};

class Registry {
 public:
  virtual ~Registry() = default;

  // RegCreateKeyA(root, path): opens the key, creating it and missing parents.
  virtual bool CreateKey(std::uint32_t root, const std::string& path, RegistryHandle* key) = 0;
  // RegDeleteValueA.
  virtual bool DeleteValue(RegistryHandle key, const std::string& name) = 0;
  // RegConnectRegistryA(computer, root).
  virtual bool ConnectRegistry(const std::string& computer, std::uint32_t root,
                               RegistryHandle* key) = 0;
  // RegDeleteKeyA(key, path): one key without subkeys.
  virtual bool DeleteKey(RegistryHandle key, const std::string& path) = 0;
  // RegCloseKey.
  virtual void CloseKey(RegistryHandle key) = 0;
  // RegOpenKeyExA(root, path) for reading and RegQueryValueExA of `name` ("" the default value):
  // *data receives a string's characters, without the terminator.
  virtual ValueRead ReadStringValue(std::uint32_t root, const std::string& path,
                                    const std::string& name, std::string* data) = 0;
  // GetVersion: the platform's 32-bit version word.
  virtual std::uint32_t VersionWord() = 0;
};

}  // namespace uninstall

#endif  // UNINSTALL_PLATFORM_REGISTRY_H_
