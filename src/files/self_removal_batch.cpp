#include "files/self_removal_batch.h"

#include <algorithm>
#include <string_view>

#include "common/paths.h"
#include "files/text_file.h"

namespace uninstall {
namespace {

constexpr int kRetrySeconds = 60;
constexpr int kDirectoryTries = 5;
// About one second between tries: ping waits a second between its two echoes. Named by its full
// path in the system directory (cmd would first run a ping planted in the current directory),
// which the uninstaller puts into the environment itself: %SystemRoot% would be whatever the
// caller set.
constexpr char kPause[] = "\"!UNINST_PING!\" -n 2 127.0.0.1 >nul";
static_assert(std::string_view(kPause).substr(2, 11) == kBatchPauseVariable);

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

std::string SelfRemovalBatchPath(const std::string& exe, const std::string& tag) {
  if (exe.size() < 2 || !IsDriveLetter(exe[0]) || exe[1] != ':') return "";
  return exe.substr(0, 1) + ":\\~~uninst-" + tag + ".bat";
}

bool HasDriveForBatch(const std::string& exe) { return !SelfRemovalBatchPath(exe, "").empty(); }

std::string ProcessTag(std::uint32_t process_id) { return std::to_string(process_id); }

std::string RandomTag(std::uint64_t number) {
  std::string tag(16, '0');
  for (std::size_t i = tag.size(); i-- > 0; number >>= 4) tag[i] = "0123456789abcdef"[number & 0xF];
  return tag;
}

std::string BatchSecurityDescriptor(const std::vector<std::string>& user_sids) {
  std::string descriptor = "D:P(A;;FA;;;SY)(A;;FA;;;BA)";
  for (std::size_t i = 0; i < user_sids.size(); ++i) {
    const std::string& sid = user_sids[i];
    if (sid.empty() ||
        std::find(user_sids.begin(), user_sids.begin() + i, sid) != user_sids.begin() + i) {
      continue;
    }
    descriptor += "(A;;FA;;;" + sid + ")";
  }
  return descriptor;
}

std::string BatchCommandLine(const std::string& system_directory, const std::string& batch_path) {
  // cmd takes off the outer pair of quotes and runs what is between them.
  return "\"" + system_directory + "\\cmd.exe\" /D /C \"\"" + batch_path + "\"\"";
}

std::string SelfRemovalDirectory(const std::string& directory) {
  std::string dir = directory;
  if (!dir.empty() && dir.back() == '\\') dir.pop_back();
  // No rd for a drive root: "rd D:" would mean the drive's current directory, wherever that is.
  return IsDriveRoot(dir) ? "" : dir;
}

std::vector<std::string> SelfRemovalBatchLines(bool remove_directory) {
  // Expanded late, a value is taken as it is: "%", "^", "&" and the like in a path mean nothing.
  const std::string exe = std::string("\"!") + kBatchExeVariable + "!\"";
  std::vector<std::string> lines = {
      "setlocal EnableDelayedExpansion",
      "cd \\",
      "set tries=0",
      ":DeleteFile",
      "del " + exe,
      "if not exist " + exe + " goto Deleted",
      "set /a tries+=1",
      "if %tries% geq " + std::to_string(kRetrySeconds) + " goto Deleted",
      kPause,
      "goto DeleteFile",
      ":Deleted",
  };
  if (remove_directory) {
    // A process that has just ended (a console host, say) may still hold the directory as its
    // current directory for a moment, so an empty directory gets a few more tries. One that
    // holds the user's files stays, after those few seconds.
    const std::string dir = std::string("\"!") + kBatchDirVariable + "!\"";
    lines.insert(lines.end(),
                 {
                     "set tries=0",
                     ":RemoveDirectory",
                     "rd " + dir,
                     "if not exist " + dir + " goto Removed",
                     "set /a tries+=1",
                     "if %tries% geq " + std::to_string(kDirectoryTries) + " goto Removed",
                     kPause,
                     "goto RemoveDirectory",
                     ":Removed",
                 });
  }
  // Itself by its own full name, whatever name this run gave it.
  lines.push_back("del \"%~f0\"");
  lines.push_back("exit");
  return lines;
}

void WriteSelfRemovalBatch(FileSystem& fs, Processes& processes, Security& security,
                           const std::string& exe, const std::string& directory) {
  const std::string system_directory = processes.SystemDirectory();
  if (!HasDriveForBatch(exe) || system_directory.empty()) return;
  // cmd reads a batch in the console's code page, not in the ANSI code page the paths are in;
  // the environment it inherits holds them exactly, whatever the code pages.
  const std::string dir = SelfRemovalDirectory(directory);
  if (!processes.SetEnvironmentValue(kBatchExeVariable, exe)) return;
  if (!dir.empty() && !processes.SetEnvironmentValue(kBatchDirVariable, dir)) return;
  if (!processes.SetEnvironmentValue(kBatchPauseVariable, system_directory + "\\ping.exe")) {
    return;
  }

  const std::string security_descriptor =
      BatchSecurityDescriptor({security.ProcessUserSid(), security.EffectiveUserSid()});
  std::string batch_path = SelfRemovalBatchPath(exe, ProcessTag(processes.OwnProcessId()));
  std::unique_ptr<TextFile> batch =
      CreateTextFile(fs, batch_path, TextFileCreation::kExclusive, security_descriptor);
  for (int tries = 0; !batch && tries < kRandomBatchNames; ++tries) {
    std::uint64_t number = 0;
    if (!security.RandomNumber(&number)) return;
    batch_path = SelfRemovalBatchPath(exe, RandomTag(number));
    batch = CreateTextFile(fs, batch_path, TextFileCreation::kExclusive, security_descriptor);
  }
  if (!batch) return;
  for (const std::string& line : SelfRemovalBatchLines(!dir.empty())) {
    batch->WriteLine(line);
  }
  // The whole file is on disk before it runs; a batch cut short (a full disk) is never run.
  // (It is this run's own: created new just now, and nobody else may change it.)
  if (!batch->CloseTextFile()) {
    fs.EraseFile(batch_path);
    return;
  }
  // The command interpreter itself, so that no file association of ".bat" is looked up (the
  // current user's can point anywhere), in the batch's folder: not the installation's, which a
  // console there would keep.
  processes.StartHidden(BatchCommandLine(system_directory, batch_path), DirectoryPart(batch_path));
}

}  // namespace uninstall
