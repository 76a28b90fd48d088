// Does a system-wide mutex of this name exist?
#ifndef UNINSTALL_PREFLIGHT_NAMED_MUTEX_H_
#define UNINSTALL_PREFLIGHT_NAMED_MUTEX_H_

#include <string>

#include "platform/process.h"

namespace uninstall {

// Creates (or opens) the mutex without taking ownership; it existed when the platform says
// so. The handle is always closed, so a mutex that did not exist before exists only for the
// moment of the test. A failure to create it counts as "does not exist".
bool NamedMutexExists(Processes& processes, const std::string& name);

}  // namespace uninstall

#endif  // UNINSTALL_PREFLIGHT_NAMED_MUTEX_H_
