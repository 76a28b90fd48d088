// What the uninstaller has other programs do, said by what it is for: run a program, unregister
// a DLL, run the uninstall script, remove the uninstaller once it has ended. The system's side
// spells each as the command line, pipe or batch file the system takes; a plan writes down what
// is meant.
#ifndef UNINSTALL_PLATFORM_LAUNCHER_H_
#define UNINSTALL_PLATFORM_LAUNCHER_H_

#include <string>

#include "platform/process.h"

namespace uninstall {

// What the script learns about the installation.
struct ScriptConstants {
  std::string uninstaller_dir;  // mwProgDir, with its final backslash
  std::string start_menu;       // mwStartMenuDir, as read
  std::string guid;             // mwGUID, possibly empty
};

// The script to run, its three constants, and whether the engine may show its own dialogs (not
// in quiet mode, where nobody answers them).
struct ScriptRequest {
  std::string script;
  ScriptConstants constants;
  bool allow_ui = false;
};

// Each start gives the process to wait for, which the caller closes; none when nothing was
// started.
class Launcher {
 public:
  virtual ~Launcher() = default;

  // The program `file` with `parameters`, in `working_directory` ("" for the caller's); what is
  // no program (a document, say) is opened through the shell. None also when the shell opened it
  // in a program that already ran.
  virtual ProcessHandle StartProgram(const std::string& file, const std::string& parameters,
                                     const std::string& working_directory) = 0;
  // The registration tool at the full path `tool`, unregistering `dll` (as uninstall.dat gives
  // it, quoted or not) without asking, in the DLL's directory.
  virtual ProcessHandle StartUnregistration(const std::string& tool, const std::string& dll) = 0;
  // The uninstaller at `own_path` once more, running the script of `request`, which it gets from
  // this instance alone.
  virtual ProcessHandle StartScript(const std::string& own_path, const ScriptRequest& request) = 0;
  // Once this program has ended, its file `exe` goes, then `directory` ("" for none) when it is
  // empty. Nothing is waited for.
  virtual void StartSelfRemoval(const std::string& exe, const std::string& directory) = 0;
};

}  // namespace uninstall

#endif  // UNINSTALL_PLATFORM_LAUNCHER_H_
