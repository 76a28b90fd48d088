// Deleting files and directory trees.
#ifndef UNINSTALL_FILES_FILE_REMOVAL_H_
#define UNINSTALL_FILES_FILE_REMOVAL_H_

#include <cstdint>
#include <string>

#include "common/heartbeat.h"
#include "files/directory_listing.h"
#include "platform/file_system.h"

namespace uninstall {

// Flags of RemoveDirectoryTree.
inline constexpr std::uint32_t kRemoveRecursive = 1;
inline constexpr std::uint32_t kRemoveForce = 2;

// Deletes one file; its attributes are left alone, so a read-only file stays (false).
bool RemoveFile(FileSystem& fs, const std::string& path);

// Deletes the entries of `path` that match `pattern` (empty: "*.*"), entering matching
// subdirectories with kRemoveRecursive and clearing attributes first with kRemoveForce, then
// removes the directory itself. True when the directory itself was removed.
// `heartbeat`, when not null, beats after every entry.
bool RemoveDirectoryTree(FileSystem& fs, const std::string& path, const std::string& pattern,
                         std::uint32_t flags, Heartbeat* heartbeat = nullptr);

// Removes a directory if it is empty, and nothing else: unlike a removal of its entries, it
// never deletes a file that appeared in it after it was found empty.
bool RemoveEmptyDirectory(FileSystem& fs, const std::string& path);

// Removes a junction or directory link itself (its attributes cleared first with kRemoveForce);
// what it points to lies elsewhere and is never entered.
bool RemoveLink(FileSystem& fs, const std::string& path, std::uint32_t flags);

}  // namespace uninstall

#endif  // UNINSTALL_FILES_FILE_REMOVAL_H_
