// Deleting files and directories by their absolute paths: what lies outside the installation's
// directories (links of the start menu and the desktop, files named by user tasks). What lies
// below them is removed through handles (contained_removal.h).
#ifndef UNINSTALL_FILES_FILE_REMOVAL_H_
#define UNINSTALL_FILES_FILE_REMOVAL_H_

#include <string>

#include "platform/file_system.h"

namespace uninstall {

// Deletes one file; its attributes are left alone, so a read-only file stays (false).
bool RemoveFile(FileSystem& fs, const std::string& path);

// Removes a directory if it is empty, and nothing else: unlike a removal of its entries, it
// never deletes a file that appeared in it after it was found empty.
bool RemoveEmptyDirectory(FileSystem& fs, const std::string& path);

}  // namespace uninstall

#endif  // UNINSTALL_FILES_FILE_REMOVAL_H_
