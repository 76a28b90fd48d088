#include "plan/plan_launcher.h"

#include "shell/dll_unregistration.h"

namespace uninstall {
namespace {

// A program's path as a plan shows it: without the quotes a value may put around it.
std::string Shown(const std::string& file) {
  if (file.empty() || file.front() != '"') return file;
  const std::size_t close = file.find('"', 1);
  if (close == std::string::npos) return file.substr(1);
  return file.substr(1, close - 1) + file.substr(close + 1);
}

}  // namespace

ProcessHandle PlanLauncher::StartProgram(const std::string& file, const std::string& parameters,
                                         const std::string&) {
  plan_->Add("run", parameters.empty() ? Shown(file) : Shown(file) + " " + parameters);
  return kPlannedProcess;
}

ProcessHandle PlanLauncher::StartUnregistration(const std::string&, const std::string& dll) {
  plan_->Add("unregister", UnquotedPath(dll));
  return kPlannedProcess;
}

ProcessHandle PlanLauncher::StartScript(const std::string&, const ScriptRequest& request) {
  plan_->Add("script", request.script);
  return kPlannedProcess;
}

void PlanLauncher::StartSelfRemoval(const std::string& exe, const std::string& directory) {
  // Once the uninstaller has ended, its file goes, then its directory when that is empty.
  fs_.SetRunningProgram("");
  fs_.EraseFile(exe);
  if (!directory.empty()) fs_.EraseDirectory(directory);
}

}  // namespace uninstall
