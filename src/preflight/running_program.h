// Is a process of the program's executable name running?
#ifndef UNINSTALL_PREFLIGHT_RUNNING_PROGRAM_H_
#define UNINSTALL_PREFLIGHT_RUNNING_PROGRAM_H_

#include <string>

#include "platform/process.h"

namespace uninstall {

// True when the file part of some running process's executable name equals `wanted_name`, both
// upper-cased byte by byte. `wanted_name` is compared as it is: a value holding a path never
// matches. Every process is visited, even after a match. Without a process list: false.
bool IsProgramRunning(Processes& processes, const std::string& wanted_name);

}  // namespace uninstall

#endif  // UNINSTALL_PREFLIGHT_RUNNING_PROGRAM_H_
