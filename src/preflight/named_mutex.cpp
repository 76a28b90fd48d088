#include "preflight/named_mutex.h"

#include "platform/file_system.h"
#include "platform/scoped_handle.h"

namespace uninstall {

bool NamedMutexExists(Processes& processes, const std::string& name) {
  std::uint32_t error = 0;
  const ScopedMutex mutex(processes, processes.CreateNamedMutex(name, &error));
  if (!mutex.valid()) return false;
  const bool exists = error == kErrorAlreadyExists;
  if (exists) processes.ReleaseNamedMutex(mutex.get());
  return exists;
}

}  // namespace uninstall
