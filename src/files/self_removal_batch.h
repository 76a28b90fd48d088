// The batch file that deletes the uninstaller and its directory after it has ended.
#ifndef UNINSTALL_FILES_SELF_REMOVAL_BATCH_H_
#define UNINSTALL_FILES_SELF_REMOVAL_BATCH_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/security.h"

namespace uninstall {

// "~~uninst-<tag>.bat" in the root of the drive whose letter begins `exe`. "" when `exe` does
// not begin with a drive letter (a program started from a UNC path, say).
std::string SelfRemovalBatchPath(const std::string& exe, const std::string& tag);
// Whether `exe` begins with a drive letter, in whose root its batch can go.
bool HasDriveForBatch(const std::string& exe);

// The tags of the batch names a run tries, in order: its process id, so that two uninstallers
// one right after the other never share a batch; then, for a name somebody took first (any user
// may create files and folders in a drive root), numbers from the system's generator of
// unpredictable numbers, in sixteen hexadecimal digits.
std::string ProcessTag(std::uint32_t process_id);
std::string RandomTag(std::uint64_t number);
// How many unpredictable names are tried after the first.
inline constexpr int kRandomBatchNames = 16;

// The environment values through which the batch gets the paths it removes and the program it
// pauses with: set by the uninstaller right before it starts the batch, never taken from
// whoever started the uninstaller.
inline constexpr char kBatchExeVariable[] = "UNINST_EXE";
inline constexpr char kBatchDirVariable[] = "UNINST_DIR";
inline constexpr char kBatchPauseVariable[] = "UNINST_PING";

// The directory the batch removes: `directory` with one trailing backslash dropped; "" when
// there is none to remove (empty, or the root of a drive).
std::string SelfRemovalDirectory(const std::string& directory);

// The batch's access list (SDDL), given when it is created: full control for SYSTEM, the
// Administrators and each of the users `user_sids` (once each; "" left out), nothing for
// anybody else, nothing inherited from the drive root, where every user may change what is
// created there. cmd reads a batch line by line while it runs: nobody else may change it
// meanwhile.
std::string BatchSecurityDescriptor(const std::vector<std::string>& user_sids);

// The command line that runs the batch: the command interpreter by its full path in
// `system_directory` (never one found by its name), without the AutoRun commands that the
// registry may give it (/D), with the batch as its one command.
std::string BatchCommandLine(const std::string& system_directory, const std::string& batch_path);

// The batch's lines (without their CR LF). It retries deleting the uninstaller about once a
// second for about a minute, then, with `remove_directory`, removes the directory if it is empty
// (a few more tries a second apart), and deletes itself by its own name. The paths and the
// program it pauses with come from the environment values above.
std::vector<std::string> SelfRemovalBatchLines(bool remove_directory);

// Puts the uninstaller's path `exe`, the directory and the system's ping into the environment
// the batch inherits, writes the batch into the drive root with its access list, and starts it
// hidden through the command interpreter, in the drive root, without waiting. The batch is
// created new, under the first of its names that nobody has taken: nothing that is there already
// is opened, changed or deleted, and when every name is taken, nothing is written or started. Its
// access list names both the user the process runs as, whose token starts cmd, and the user it
// acts for (an administrator logged on for the removal). A batch that could not be written whole
// is deleted again and not started. Nothing is started when the system directory is unknown.
void WriteSelfRemovalBatch(FileSystem& fs, Processes& processes, Security& security,
                           const std::string& exe, const std::string& directory);

}  // namespace uninstall

#endif  // UNINSTALL_FILES_SELF_REMOVAL_BATCH_H_
