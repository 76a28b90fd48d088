#include "shell/dll_unregistration.h"

#include "common/paths.h"
#include "files/file_removal.h"

namespace uninstall {

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

void UnregisterDll(ProgramLauncher& launcher, FileSystem& fs, const std::string& tool_dir,
                   const std::string& dll) {
  // The tool's outcome doesn't matter: the DLL goes either way.
  launcher.StartProgram(tool_dir + "regsvr32.exe", UnregistrationParameters(dll), DllDirectory(dll),
                        kWaitForExit);
  RemoveFile(fs, UnquotedPath(dll));
}

}  // namespace uninstall
