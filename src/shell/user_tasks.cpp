#include "shell/user_tasks.h"

#include <algorithm>
#include <cstdint>

#include "files/file_removal.h"
#include "files/path_probe.h"
#include "shell/dll_unregistration.h"
#include "shell/file_association.h"
#include "shell/registry_deletion.h"
#include "shell/task_entry.h"

namespace uninstall {
namespace {

void RunTask(const ShellIntegrationParts& parts, const StatusLine& status,
             const std::string& entry) {
  switch (TaskNumber(TaskField(entry, 1))) {
    case kTaskRegistryValue: {
      std::uint32_t root = TaskNumber(TaskField(entry, 2));
      std::string path = TaskField(entry, 3);
      std::string name = TaskField(entry, 4);
      status.Show("...\\" + path + "\\" + name);
      // A missing key is created by the deletion and stays, empty.
      DeleteRegistryValue(parts.registry, root, path, name);
      break;
    }
    case kTaskUnregisterDll: {
      std::string dll = TaskField(entry, 3);
      status.Show(dll);
      UnregisterDll(parts.launcher, parts.fs, TaskField(entry, 2), dll);
      break;
    }
    case kTaskFileAssociation:
      RemoveFileAssociation(parts.registry, TaskField(entry, 2), TaskField(entry, 3));
      break;
    default: {
      std::string file = TrimSpaces(TaskField(entry, 2));
      if (IsExistingFile(parts.fs, file)) {
        status.Show(file);
        RemoveFile(parts.fs, file);
      }
      break;
    }
  }
}

}  // namespace

void RemoveUserTasks(const ShellIntegrationParts& parts, const StatusLine& status,
                     const std::string& description_file_path) {
  PreferenceReader& reader = parts.reader;
  reader.Open(description_file_path);
  reader.SelectGroup("UserTask");
  std::int32_t count = reader.ReadNumber("Number", 0);
  // The numbering may have gaps: a missing or empty entry is passed over. Past the highest
  // task line there is nothing to find, so a corrupt count such as 2147483647 ends there
  // instead of keeping the uninstaller busy for ages.
  std::int64_t last = std::min<std::int64_t>(count, reader.HighestNumberedKey("Task"));
  for (std::int64_t i = 1; i <= last; ++i) {
    std::string entry = reader.ReadString("Task" + std::to_string(i), "");
    if (!entry.empty()) RunTask(parts, status, entry);
    status.Beat();
  }
  reader.Close();
}

}  // namespace uninstall
