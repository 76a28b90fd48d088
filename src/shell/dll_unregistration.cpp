#include "shell/dll_unregistration.h"

#include "common/paths.h"
#include "files/file_removal.h"

namespace uninstall {
namespace {

constexpr char kToolName[] = "regsvr32.exe";

}  // namespace

std::string UnregistrationParameters(const std::string& dll) {
  if (!dll.empty() && dll.front() == '"') return "/S /U " + dll;
  return "/S /U \"" + dll + "\"";
}

std::string DllDirectory(const std::string& dll) {
  return DirectoryPart(!dll.empty() && dll.front() == '"' ? dll.substr(1) : dll);
}

std::string UnquotedPath(const std::string& dll) {
  std::string path = dll;
  if (!path.empty() && path.front() == '"') path.erase(0, 1);
  if (!path.empty() && path.back() == '"') path.pop_back();
  return path;
}

void UnregisterDll(ProgramLauncher& launcher, FileSystem& fs, Progress& progress,
                   const std::string& tool_dir, const std::string& dll) {
  // Without a directory of its own, the system's regsvr32 by its full path. The tool's outcome
  // doesn't matter: the DLL goes either way.
  const std::string tool =
      tool_dir.empty() ? launcher.SystemProgramPath(kToolName) : tool_dir + kToolName;
  if (!tool.empty()) {
    launcher.Run(tool, UnregistrationParameters(dll), DllDirectory(dll), progress);
  }
  RemoveFile(fs, UnquotedPath(dll));
}

}  // namespace uninstall
