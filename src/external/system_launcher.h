// The launcher of the real run: each intent spelled as the system takes it.
#ifndef UNINSTALL_EXTERNAL_SYSTEM_LAUNCHER_H_
#define UNINSTALL_EXTERNAL_SYSTEM_LAUNCHER_H_

#include <string>

#include "platform/file_system.h"
#include "platform/launcher.h"
#include "platform/process.h"
#include "platform/security.h"

namespace uninstall {

class SystemLauncher : public Launcher {
 public:
  SystemLauncher(Processes& processes, FileSystem& fs, Security& security)
      : processes_(processes), fs_(fs), security_(security) {}

  // A program by its command line; when that starts nothing, the file through the shell, in the
  // working directory given or else the file's own.
  ProcessHandle StartProgram(const std::string& file, const std::string& parameters,
                             const std::string& working_directory) override;
  // As a program: the tool with UnregistrationParameters, in DllDirectory.
  ProcessHandle StartUnregistration(const std::string& tool, const std::string& dll) override;
  // The request goes into a pipe whose read end is the one handle the instance inherits, all of
  // it and the write end closed before the instance starts; the instance's parameters are
  // kScriptSwitch and the number of that read end. None for a request larger than the
  // instance reads.
  ProcessHandle StartScript(const std::string& own_path, const ScriptRequest& request) override;
  // Through the batch of WriteSelfRemovalBatch.
  void StartSelfRemoval(const std::string& exe, const std::string& directory) override;

 private:
  Processes& processes_;
  FileSystem& fs_;
  Security& security_;
};

// The command line for `file`: quoted unless it begins with a double quote, then one blank and
// the parameters when there are any.
std::string ProgramCommandLine(const std::string& file, const std::string& parameters);

// Working directory of the shell fallback when none was given: up to and including the last
// backslash of the file, provided that is not its first character; "" otherwise.
std::string ShellWorkingDirectory(const std::string& file);

// The tool's parameters: silent unregistration of `dll` as one quoted argument, so that a path
// with blanks reaches the tool whole. A path that is quoted already is passed as it is.
std::string UnregistrationParameters(const std::string& dll);

// The directory part of `dll` (a leading double quote skipped), up to and including its last
// backslash or slash; "" when it has neither.
std::string DllDirectory(const std::string& dll);

}  // namespace uninstall

#endif  // UNINSTALL_EXTERNAL_SYSTEM_LAUNCHER_H_
