// Names that compare without regard to the case of ASCII letters (registry names, file names
// the checker looks at).
#ifndef UNINSTALL_COMMON_ASCII_CASE_H_
#define UNINSTALL_COMMON_ASCII_CASE_H_

#include <string>
#include <string_view>

namespace uninstall {

// The text with the ASCII capitals made small.
std::string AsciiLowered(std::string_view text);

}  // namespace uninstall

#endif  // UNINSTALL_COMMON_ASCII_CASE_H_
