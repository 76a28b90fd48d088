#include "plan/plan_file_system.h"

namespace uninstall {

void PlanFileSystem::SetRunningProgram(const std::string& path) {
  if (!running_program_.empty()) HoldOpen(running_program_, false);
  running_program_ = path;
  if (!path.empty()) HoldOpen(path);
}

void PlanFileSystem::Removed(const std::u16string& path, bool directory) {
  plan_->Add(directory ? "remove directory" : "remove file", path);
}

}  // namespace uninstall
