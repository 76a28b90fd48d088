// Removals of paths named relative to a base directory (the uninstaller's directory or the data
// directory) that never reach outside it: not through a ".." or a drive, and not through a
// junction or directory link below the base, which anybody able to write there could plant.
#ifndef UNINSTALL_FILES_CONTAINED_REMOVAL_H_
#define UNINSTALL_FILES_CONTAINED_REMOVAL_H_

#include <string>

#include "common/status_line.h"
#include "platform/file_system.h"

namespace uninstall {

// True for a relative value that stays inside the directory it is joined to: no ".." component,
// no drive letter or colon, no leading backslash or slash.
bool StaysInside(const std::string& relative_path);

// What the attributes of a path say: a reparse point (a junction, a directory or file link), a
// plain directory, a plain file, or nothing to go by (missing, or the attributes cannot be read).
enum class PathNature { kUnknown, kLink, kDirectory, kFile };
PathNature NatureOf(FileSystem& fs, const std::string& path);

// True when a directory on the way from `base` to `base` + `relative` (every component of
// `relative` but its last) is a reparse point, or cannot be looked at. Asked just before the
// path is used.
bool PassesThroughLink(FileSystem& fs, const std::string& base, const std::string& relative);

// Deletes the file `base` + `relative` when the value stays inside and passes through no link.
bool RemoveFileInside(FileSystem& fs, const std::string& base, const std::string& relative);

// Removes the directory `base` + `relative` when it is empty, or only the link when it is one,
// and shows the status text "  <path>*.*" for it. Nothing happens for a path through a link.
// True when the link or the empty directory was removed, or the directory holds nothing but
// could not be removed.
bool RemoveEmptyDirectoryBelow(FileSystem& fs, const StatusLine& status, const std::string& base,
                               const std::string& relative);

}  // namespace uninstall

#endif  // UNINSTALL_FILES_CONTAINED_REMOVAL_H_
