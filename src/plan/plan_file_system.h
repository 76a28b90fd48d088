// The file system of a plan: the system's, copied into memory as it is read, where the planned
// removal then changes it. What goes (a node marked for deletion with its last handle, or erased
// by its path) is written to the plan. Of the system's file system nothing is ever opened with
// the right to delete or to write.
#ifndef UNINSTALL_PLAN_PLAN_FILE_SYSTEM_H_
#define UNINSTALL_PLAN_PLAN_FILE_SYSTEM_H_

#include <string>

#include "model/memory_file_system.h"
#include "plan/plan_log.h"

namespace uninstall {

class PlanFileSystem : public MemoryFileSystem {
 public:
  PlanFileSystem(FileSystem& system, PlanLog* plan) : MemoryFileSystem(system), plan_(plan) {}

  // The running uninstaller's file: in use, it cannot be deleted until the program has ended
  // ("" once it has).
  void SetRunningProgram(const std::string& path);

 protected:
  void Removed(const std::u16string& path, bool directory) override;

 private:
  PlanLog* plan_;
  std::string running_program_;
};

}  // namespace uninstall

#endif  // UNINSTALL_PLAN_PLAN_FILE_SYSTEM_H_
