// Unregistering a DLL through the system's registration tool, then deleting it.
#ifndef UNINSTALL_SHELL_DLL_UNREGISTRATION_H_
#define UNINSTALL_SHELL_DLL_UNREGISTRATION_H_

#include <string>

#include "external/program_launcher.h"
#include "platform/file_system.h"

namespace uninstall {

// `dll` without one leading and one trailing double quote.
std::string UnquotedPath(const std::string& dll);

// Runs `tool_dir` + "regsvr32.exe" on `dll` (with an empty `tool_dir`, the one in the system
// directory), waits for it to end and deletes the DLL whatever the tool did.
void UnregisterDll(ProgramLauncher& launcher, FileSystem& fs, const std::string& tool_dir,
                   const std::string& dll, Progress& progress);

}  // namespace uninstall

#endif  // UNINSTALL_SHELL_DLL_UNREGISTRATION_H_
