// Probing paths: size, existence, emptiness.
#ifndef UNINSTALL_FILES_PATH_PROBE_H_
#define UNINSTALL_FILES_PATH_PROBE_H_

#include <cstdint>
#include <string>

#include "common/paths.h"
#include "platform/file_system.h"

namespace uninstall {

// PathSize results other than a file's size.
inline constexpr std::int64_t kNothingThere = -1;
inline constexpr std::int64_t kDirectoryThere = -2;

// The size of the file at `path`; kNothingThere for nothing (or an empty or too long path);
// kDirectoryThere for a directory or the root of an existing drive.
std::int64_t PathSize(FileSystem& fs, const std::string& path);
bool IsExistingFile(FileSystem& fs, const std::string& path);
// True for a directory that holds no entry but "." and "..".
bool IsEmptyDirectory(FileSystem& fs, const std::string& path);
// The same for a path already known to be a directory: only its entries are looked at.
bool HoldsNothing(FileSystem& fs, const std::string& directory);

}  // namespace uninstall

#endif  // UNINSTALL_FILES_PATH_PROBE_H_
