// Text in the 8-bit code pages of Windows (1250 to 1258, each as the system maps it) and in
// UTF-8, for where the system does not convert: the tests' file system, the checker away from
// Windows, the plan's lines.
#ifndef UNINSTALL_NAMES_ENCODINGS_H_
#define UNINSTALL_NAMES_ENCODINGS_H_

#include <optional>
#include <string>
#include <string_view>

namespace uninstall {

// The code page of the systems of Western Europe and the Americas.
inline constexpr unsigned kWesternCodePage = 1252;

// Whether `code_page` is one of those these functions know.
bool IsKnownCodePage(unsigned code_page);

// `bytes` in `code_page` as UTF-16 ("" for an unknown code page). A byte the code page leaves
// undefined stands for the code point of its value.
std::u16string WidenedFrom(unsigned code_page, std::string_view bytes);

// The bytes of `text` in `code_page`; none where a character has no byte there.
std::optional<std::string> NarrowedTo(unsigned code_page, std::u16string_view text);

// UTF-16 as UTF-8; half a surrogate pair becomes U+FFFD.
std::string Utf8Of(std::u16string_view text);

}  // namespace uninstall

#endif  // UNINSTALL_NAMES_ENCODINGS_H_
