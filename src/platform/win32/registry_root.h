// The predefined registry roots from their 32-bit numbers.
#ifndef UNINSTALL_PLATFORM_WIN32_REGISTRY_ROOT_H_
#define UNINSTALL_PLATFORM_WIN32_REGISTRY_ROOT_H_

#include <windows.h>

#include <cstdint>

namespace uninstall {

// The predefined roots are sign-extended 32-bit values (HKEY_CLASSES_ROOT is
// (HKEY)(ULONG_PTR)(LONG)0x80000000), so a root number must be widened as a signed value.
inline HKEY RootKey(std::uint32_t root) {
  return reinterpret_cast<HKEY>(static_cast<INT_PTR>(static_cast<LONG>(root)));
}

}  // namespace uninstall

#endif  // UNINSTALL_PLATFORM_WIN32_REGISTRY_ROOT_H_
