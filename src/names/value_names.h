// The rules of the names in a value of uninstall.dat: its separators, whether it stays inside
// the directory it is joined to, the names it is made of as the system reads them, and the form
// in which two values are compared as the system compares file names.
#ifndef UNINSTALL_NAMES_VALUE_NAMES_H_
#define UNINSTALL_NAMES_VALUE_NAMES_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_names.h"

namespace uninstall {

// The separators of a path: the backslash, and the slash that Windows takes for one.
inline constexpr std::string_view kPathSeparators = "\\/";

inline bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }
inline bool IsPathSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

// True for a relative value that stays inside the directory it is joined to: no ".." component,
// no drive letter or colon, no leading backslash or slash.
bool StaysInside(const std::string& relative_path);

// The names of a relative value, one per directory level, in the system's UTF-16: empty and "."
// parts dropped, trailing dots and blanks dropped as the system drops them from a path.
// Nothing when the value leads outside (see StaysInside) or its bytes are no text of the code
// page.
std::optional<std::vector<std::u16string>> NamesOf(FileNames& names, const std::string& relative);

// A value as the system compares it with another by `names`: in UTF-16 from the code page (its
// bytes one by one where they are no text of it), backslashes for slashes.
std::u16string ComparableValue(FileNames& names, const std::string& value);

}  // namespace uninstall

#endif  // UNINSTALL_NAMES_VALUE_NAMES_H_
