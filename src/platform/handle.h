// A handle of the system, of one kind: the kinds do not mix (a file handle is no directory
// handle, a process no mutex), and none is a number. The value is opaque; the empty handle (0,
// the Win32 layer's INVALID_HANDLE_VALUE too) means none.
#ifndef UNINSTALL_PLATFORM_HANDLE_H_
#define UNINSTALL_PLATFORM_HANDLE_H_

#include <compare>
#include <cstdint>

namespace uninstall {

template <class Kind>
class Handle {
 public:
  constexpr Handle() = default;
  constexpr explicit Handle(std::uintptr_t value) : value_(value) {}

  constexpr std::uintptr_t value() const { return value_; }
  constexpr bool valid() const { return value_ != 0; }
  constexpr explicit operator bool() const { return valid(); }
  constexpr auto operator<=>(const Handle&) const = default;

 private:
  std::uintptr_t value_ = 0;
};

}  // namespace uninstall

#endif  // UNINSTALL_PLATFORM_HANDLE_H_
