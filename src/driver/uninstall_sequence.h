// The uninstaller's main program: start-up, the checks, and the removal in quiet or window
// mode, in a fixed order on the program's one thread.
#ifndef UNINSTALL_DRIVER_UNINSTALL_SEQUENCE_H_
#define UNINSTALL_DRIVER_UNINSTALL_SEQUENCE_H_

#include <memory>
#include <string>

#include "common/progress.h"
#include "description/description.h"
#include "description/uninstall_settings.h"
#include "driver/installation_removal.h"
#include "driver/platform_parts.h"
#include "driver/text_table.h"
#include "external/program_launcher.h"
#include "external/script_host.h"
#include "files/verified_node.h"
#include "platform/security.h"

namespace uninstall {

// The state of one run, owned by the sequence; the steps read what they need of it.
struct RunState {
  std::string own_path;
  std::string uninstaller_dir;
  std::string description_file_path;
  bool quiet_mode = false;
  UninstallSettings settings;
  TextTable texts;
  // The uninstaller's directory is, or lies above, a folder that the system or a user owns as a
  // whole: no "delete all" there, and the directory itself is never removed.
  bool in_whole_folder = false;
  LogonToken logon_token = {};
};

inline constexpr char kMissingDescriptionTitle[] = " Marrowind - Error";
inline constexpr char kMissingDescriptionText[] = "Could not find 'uninstall.dat':";
inline constexpr char kUnrepresentableFolderText[] =
    "The uninstaller cannot work in a folder whose name the system's code page cannot hold:";

class UninstallSequence {
 public:
  explicit UninstallSequence(const PlatformParts& platform);

  // Runs the whole uninstallation; the exit code, which is 0 on every path.
  int Run();

 private:
  bool ProgramToRemoveRuns();
  bool BeforeProgramCancels();
  void RunScript();
  void RunQuiet();
  void RunWindow();
  void Logon();
  void EndLogon();
  Installation ToRemove() const;
  void DeleteLeftovers();
  void StartSelfRemoval();
  void End();

  PlatformParts platform_;
  ProgramLauncher launcher_;
  ScriptHost script_host_;
  RunState state_;
  // uninstall.dat, read whole: first for the settings and texts, then once more after the
  // before-program and the script, which may rewrite it. The removal reads only that second
  // reading; nothing reads the file once the removal has begun.
  std::unique_ptr<const Description> description_;
  // The uninstaller's directory, opened once before anything is decided about it: whether it is
  // a folder owned as a whole, and every removal below it, go by this handle, not by its name.
  VerifiedNode own_directory_;
};

}  // namespace uninstall

#endif  // UNINSTALL_DRIVER_UNINSTALL_SEQUENCE_H_
