// The system's handles as the program's kinds of handle, and back. Only the Win32 layer turns
// one into the other: it knows which kind each call of the system hands out.
#ifndef UNINSTALL_PLATFORM_WIN32_WIN32_HANDLES_H_
#define UNINSTALL_PLATFORM_WIN32_WIN32_HANDLES_H_

#include <windows.h>

#include <cstdint>

#include "platform/handle.h"

namespace uninstall {

// A handle just received from the system, taken as the kind it is returned as.
struct SystemHandle {
  std::uintptr_t value;
  template <class Kind>
  operator Handle<Kind>() const {  // NOLINT: converts only here, in the Win32 layer
    return Handle<Kind>(value);
  }
};

inline SystemHandle FromSystem(const void* handle) {
  return {reinterpret_cast<std::uintptr_t>(handle)};
}

template <class System = HANDLE, class Kind>
System ToSystem(Handle<Kind> handle) {
  return reinterpret_cast<System>(handle.value());
}

}  // namespace uninstall

#endif  // UNINSTALL_PLATFORM_WIN32_WIN32_HANDLES_H_
