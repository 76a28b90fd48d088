#include "preflight/named_mutex.h"

#include "platform/file_system.h"

namespace uninstall {

bool NamedMutexExists(Processes& processes, const std::string& name) {
  std::uint32_t error = 0;
  MutexHandle mutex = processes.CreateNamedMutex(name, &error);
  if (!mutex.valid()) return false;
  bool exists = error == kErrorAlreadyExists;
  if (exists) processes.ReleaseNamedMutex(mutex);
  processes.CloseMutex(mutex);
  return exists;
}

}  // namespace uninstall
