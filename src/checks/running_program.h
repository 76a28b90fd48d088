// Is a process of the program's executable name running?
#ifndef UNINSTALL_CHECKS_RUNNING_PROGRAM_H_
#define UNINSTALL_CHECKS_RUNNING_PROGRAM_H_

#include <string>

#include "platform/process.h"

namespace uninstall {

// The process-list check. The process list is not wired up yet, so this answers "not
// running", as it does on a system without a process list.
bool IsProgramRunning(Processes& processes, const std::string& wanted_name);

}  // namespace uninstall

#endif  // UNINSTALL_CHECKS_RUNNING_PROGRAM_H_
