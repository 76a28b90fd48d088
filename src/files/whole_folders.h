// Folders that the system or a user owns as a whole (the public Desktop, Program Files, a
// profile, Documents, ...): "delete all" in one of them, or above one, would take what is not
// the program's.
#ifndef UNINSTALL_FILES_WHOLE_FOLDERS_H_
#define UNINSTALL_FILES_WHOLE_FOLDERS_H_

#include <string>
#include <vector>

namespace uninstall {

// True when `directory` is a drive or share root, or is, or lies above, one of `folders`.
// Paths compare without regard to case, with either separator and with or without a final one.
bool HoldsAWholeFolder(const std::string& directory, const std::vector<std::string>& folders);

}  // namespace uninstall

#endif  // UNINSTALL_FILES_WHOLE_FOLDERS_H_
