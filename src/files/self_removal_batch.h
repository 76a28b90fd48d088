// The batch file that deletes the uninstaller and its directory after it has ended.
#ifndef UNINSTALL_FILES_SELF_REMOVAL_BATCH_H_
#define UNINSTALL_FILES_SELF_REMOVAL_BATCH_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/process.h"

namespace uninstall {

// "~~uninst.bat" in the root of the drive whose letter begins `exe`; "" when `exe` does not
// begin with a drive letter (a program started from a UNC path, say).
std::string SelfRemovalBatchPath(const std::string& exe);

// The batch's lines (without their CR LF). It switches its console to `ansi_code_page`, the code
// page the paths are written in, retries deleting `exe` about once a second for about a minute,
// then removes `directory` (one trailing backslash dropped; no rd line when empty or a drive
// root) if it is empty, with a few more tries a second apart, and deletes itself. Every "%" of a
// path is doubled, since cmd expands %...% even inside quotes.
std::vector<std::string> SelfRemovalBatchLines(const std::string& exe, const std::string& directory,
                                               const std::string& batch_path,
                                               std::uint32_t ansi_code_page);

// Writes the batch into the drive root and starts it hidden, without waiting. An existing
// batch of that name is deleted first and the new one created exclusively, so that nobody can
// plant a file whose permissions let them change what the batch runs; when the old one can't
// be deleted, nothing is written or started, and a batch that could not be written whole is
// deleted again and not started.
void WriteSelfRemovalBatch(FileSystem& fs, Processes& processes, const std::string& directory);

}  // namespace uninstall

#endif  // UNINSTALL_FILES_SELF_REMOVAL_BATCH_H_
