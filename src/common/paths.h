// Rules about the shape of path strings, shared by the driver, the file removal and the shell.
#ifndef UNINSTALL_COMMON_PATHS_H_
#define UNINSTALL_COMMON_PATHS_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "names/value_names.h"

namespace uninstall {

// Longest path the file operations take (a working buffer of 260 bytes plus terminator).
// A longer path, or a longer joined name, is never cut: it counts as naming nothing.
inline constexpr std::size_t kMaxPathBytes = 260;

// A path the file operations may be given: not empty, and not longer than kMaxPathBytes (a cut
// path could name something else).
bool IsUsablePath(std::string_view path);

// `path` with a backslash at its end, appended unless there is one ("" becomes "\").
std::string WithTrailingBackslash(const std::string& path);

// `path` without the separators (of `separators`) at its end.
std::string WithoutTrailingSeparators(std::string path, std::string_view separators = "\\");

// The directory part of a path: everything up to and including its last separator (one of
// `separators`); "" when it has none.
std::string DirectoryPart(const std::string& path, std::string_view separators = kPathSeparators);

// A path taken as the system takes it by its text: its root ("C:" or "\\server\share"), then
// its names with empty ones and "." dropped, each ".." taking the name before it away (never
// the root), trailing dots and blanks dropped from the last name. What it names is `name` in the
// directory `directory` (which ends with a backslash). Nothing when the path has no such root or
// names the root itself.
struct ParentAndName {
  std::string directory;
  std::string name;
};
std::optional<ParentAndName> ResolvedByText(const std::string& path);

// True for the root of a drive: a path that ends with a colon, alone or followed by one separator
// ("D:", "D:\", "D:/", "\\?\D:\"), or the root of a network share ("\\server\share", with or
// without a final separator). No program files are removed at a root, and no root is removed.
bool IsDriveRoot(std::string_view path);
// Only the first kind: a path ending with a colon, alone or followed by one separator.
bool IsDriveLetterRoot(std::string_view path);

}  // namespace uninstall

#endif  // UNINSTALL_COMMON_PATHS_H_
