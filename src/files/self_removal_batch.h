// The batch file that deletes the uninstaller and its directory after it has ended.
#ifndef UNINSTALL_FILES_SELF_REMOVAL_BATCH_H_
#define UNINSTALL_FILES_SELF_REMOVAL_BATCH_H_

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/process.h"

namespace uninstall {

// "~~uninst.bat" in the root of the drive whose letter begins `exe`; "" when `exe` does not
// begin with a drive letter (a program started from a UNC path, say).
std::string SelfRemovalBatchPath(const std::string& exe);

// The environment values through which the batch gets the paths it removes.
inline constexpr char kBatchExeVariable[] = "UNINST_EXE";
inline constexpr char kBatchDirVariable[] = "UNINST_DIR";

// The directory the batch removes: `directory` with one trailing backslash dropped; "" when
// there is none to remove (empty, or the root of a drive).
std::string SelfRemovalDirectory(const std::string& directory);

// The batch's lines (without their CR LF). It retries deleting the uninstaller about once a
// second for about a minute, then, with `remove_directory`, removes the directory if it is empty
// (a few more tries a second apart), and deletes itself. The paths come from the environment
// values above.
std::vector<std::string> SelfRemovalBatchLines(const std::string& batch_path,
                                               bool remove_directory);

// Puts the uninstaller's path and the directory into the environment the batch inherits, writes
// the batch into the drive root and starts it hidden, without waiting. An existing
// batch of that name is deleted first and the new one created exclusively, so that nobody can
// plant a file whose permissions let them change what the batch runs; when the old one can't
// be deleted, nothing is written or started, and a batch that could not be written whole is
// deleted again and not started.
void WriteSelfRemovalBatch(FileSystem& fs, Processes& processes, const std::string& directory);

}  // namespace uninstall

#endif  // UNINSTALL_FILES_SELF_REMOVAL_BATCH_H_
