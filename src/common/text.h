// Small text rules shared by every part of the program.
#ifndef UNINSTALL_COMMON_TEXT_H_
#define UNINSTALL_COMMON_TEXT_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace uninstall {

// Every occurrence of `marker` replaced by `replacement`: a case-sensitive search from left to
// right that goes on after the inserted text, so the replacement is never searched again.
std::string ReplaceAll(std::string text, std::string_view marker, std::string_view replacement);

// The characters the C library's isspace knows in the "C" locale.
inline constexpr std::string_view kCWhiteSpace = " \t\n\v\f\r";
// Blanks: the space and the tab.
inline constexpr std::string_view kBlanks = " \t";

// A decimal number as the C library's atoi reads it, with overflow wrapping modulo 2^32 instead
// of being undefined: characters of `leading_space` are skipped, then one optional sign, then
// digits up to the first other character. No digits give 0.
std::uint32_t DecimalNumber(std::string_view text, std::string_view leading_space);

}  // namespace uninstall

#endif  // UNINSTALL_COMMON_TEXT_H_
