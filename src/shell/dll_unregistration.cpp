#include "shell/dll_unregistration.h"

#include "files/file_removal.h"

namespace uninstall {
namespace {

constexpr char kToolName[] = "regsvr32.exe";

}  // namespace

std::string UnquotedPath(const std::string& dll) {
  std::string path = dll;
  if (!path.empty() && path.front() == '"') path.erase(0, 1);
  if (!path.empty() && path.back() == '"') path.pop_back();
  return path;
}

void UnregisterDll(ProgramLauncher& launcher, FileSystem& fs, const std::string& tool_dir,
                   const std::string& dll, Progress& progress) {
  // Without a directory of its own, the system's regsvr32 by its full path. The tool's outcome
  // doesn't matter: the DLL goes either way.
  const std::string tool =
      tool_dir.empty() ? launcher.SystemProgramPath(kToolName) : tool_dir + kToolName;
  if (!tool.empty()) {
    launcher.Unregister(tool, dll, progress);
  }
  RemoveFile(fs, UnquotedPath(dll));
}

}  // namespace uninstall
