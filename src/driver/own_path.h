// The running uninstaller's own path, read once by the driver and handed to what needs it.
#ifndef UNINSTALL_DRIVER_OWN_PATH_H_
#define UNINSTALL_DRIVER_OWN_PATH_H_

#include <cstdint>
#include <string>

#include "platform/process.h"

namespace uninstall {

// The size of the buffer the own path is read into: the path has at most 259 characters.
inline constexpr std::uint32_t kOwnPathBufferSize = 260;

// The full path of the running executable; "" when the platform cannot report it, reports it
// cut short, or reports a path that the system's 8-bit code page cannot hold: any name read
// from that one, best fit or not, could be another folder's. In that last case `unrepresentable`,
// when given, receives the path as it can be shown, with the code page's default character in
// place of what it cannot hold.
std::string OwnProgramPath(Processes& processes, std::string* unrepresentable = nullptr);

}  // namespace uninstall

#endif  // UNINSTALL_DRIVER_OWN_PATH_H_
