// Folders that the system or a user owns as a whole (the public Desktop, Program Files, a
// profile, Documents, ...): "delete all" in one of them, or above one, would take what is not
// the program's, and the self-removal must never remove one.
#ifndef UNINSTALL_FILES_WHOLE_FOLDERS_H_
#define UNINSTALL_FILES_WHOLE_FOLDERS_H_

#include <string>
#include <string_view>
#include <vector>

#include "files/verified_node.h"
#include "platform/file_system.h"

namespace uninstall {

// True when `directory` is a drive or share root, or is, or lies above, one of `folders`.
// Paths compare as the system compares names (`names`), with either separator, with or without
// a final one, and with or without the "\\?\" (or "\\?\UNC\") that the system's normalized
// paths begin with.
bool HoldsAWholeFolder(FileNames& names, std::u16string_view directory,
                       const std::vector<std::u16string>& folders);

// The same, decided on the open `directory` itself rather than on the name it was opened by: its
// normalized path (where a link, a drive letter for a folder or a short name leads) against the
// normalized path of each folder the system names, and against the name itself of a folder that
// cannot be opened. A directory whose normalized path cannot be read counts as holding one.
bool HoldsAWholeFolder(FileSystem& fs, const VerifiedNode& directory);

}  // namespace uninstall

#endif  // UNINSTALL_FILES_WHOLE_FOLDERS_H_
