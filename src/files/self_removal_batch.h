// The batch file that deletes the uninstaller and its directory after it has ended.
#ifndef UNINSTALL_FILES_SELF_REMOVAL_BATCH_H_
#define UNINSTALL_FILES_SELF_REMOVAL_BATCH_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/process.h"

namespace uninstall {

// "~~uninst-<process id>.bat" in the root of the drive whose letter begins `exe`: a name of the
// run's own, so that two uninstallers one right after the other never share a batch. "" when
// `exe` does not begin with a drive letter (a program started from a UNC path, say).
std::string SelfRemovalBatchPath(const std::string& exe, std::uint32_t process_id);

// The environment values through which the batch gets the paths it removes.
inline constexpr char kBatchExeVariable[] = "UNINST_EXE";
inline constexpr char kBatchDirVariable[] = "UNINST_DIR";

// The directory the batch removes: `directory` with one trailing backslash dropped; "" when
// there is none to remove (empty, or the root of a drive).
std::string SelfRemovalDirectory(const std::string& directory);

// The batch's access list (SDDL), given when it is created: full control for SYSTEM, the
// Administrators and the user `user_sid` (left out when ""), nothing for anybody else, nothing
// inherited from the drive root, where every user may change what is created there. cmd reads
// a batch line by line while it runs: nobody else may change it meanwhile.
std::string BatchSecurityDescriptor(const std::string& user_sid);

// The command line that runs the batch: the command interpreter by its full path in
// `system_directory` (never one found by its name), without the AutoRun commands that the
// registry may give it (/D), with the batch as its one command.
std::string BatchCommandLine(const std::string& system_directory, const std::string& batch_path);

// The batch's lines (without their CR LF). It retries deleting the uninstaller about once a
// second for about a minute, then, with `remove_directory`, removes the directory if it is empty
// (a few more tries a second apart), and deletes itself by its own name. The paths come from
// the environment values above.
std::vector<std::string> SelfRemovalBatchLines(bool remove_directory);

// Puts the uninstaller's path `exe` and the directory into the environment the batch inherits,
// writes the batch into the drive root with its access list, and starts it hidden through the
// command interpreter, in the drive root, without waiting. An existing batch of this run's name is
// deleted first and the new one created exclusively; when the old one can't be deleted, nothing
// is written or started, and a batch that could not be written whole is deleted again and not
// started. Nothing is started when the system directory is unknown.
void WriteSelfRemovalBatch(FileSystem& fs, Processes& processes, const std::string& exe,
                           const std::string& user_sid, const std::string& directory);

}  // namespace uninstall

#endif  // UNINSTALL_FILES_SELF_REMOVAL_BATCH_H_
