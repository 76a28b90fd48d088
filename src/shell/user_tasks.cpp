#include "shell/user_tasks.h"

#include <cstdint>

#include "files/file_removal.h"
#include "files/path_probe.h"
#include "shell/dll_unregistration.h"
#include "shell/file_association.h"
#include "shell/registry_deletion.h"
#include "shell/task_entry.h"

namespace uninstall {
namespace {

void RunTask(const ShellIntegrationParts& parts, const std::string& entry) {
  switch (TaskNumber(TaskField(entry, 1))) {
    case kTaskRegistryValue: {
      std::uint32_t root = TaskNumber(TaskField(entry, 2));
      std::string path = TaskField(entry, 3);
      std::string name = TaskField(entry, 4);
      parts.progress.Show("...\\" + path + "\\" + name);
      // A missing key is created by the deletion and stays, empty.
      DeleteRegistryValue(parts.registry, root, path, name);
      break;
    }
    case kTaskUnregisterDll: {
      std::string dll = TaskField(entry, 3);
      parts.progress.Show(dll);
      UnregisterDll(parts.launcher, parts.fs, TaskField(entry, 2), dll, parts.progress);
      break;
    }
    case kTaskFileAssociation:
      RemoveFileAssociation(parts.registry, TaskField(entry, 2), TaskField(entry, 3));
      break;
    default: {
      std::string file = TrimSpaces(TaskField(entry, 2));
      if (IsExistingFile(parts.fs, file)) {
        parts.progress.Show(file);
        RemoveFile(parts.fs, file);
      }
      break;
    }
  }
}

}  // namespace

void RemoveUserTasks(const ShellIntegrationParts& parts, const Description& description) {
  // The numbering may have gaps: a missing or empty entry is passed over. Only the task lines
  // there are are visited, so a corrupt count such as 2147483647 costs nothing.
  description.ForEachNumberedValue("UserTask", "Task", description.Number("UserTask", "Number", 0),
                                   [&](const std::string& entry) {
                                     if (!entry.empty()) RunTask(parts, entry);
                                     parts.progress.Done();
                                     parts.progress.Beat();
                                   });
}

}  // namespace uninstall
