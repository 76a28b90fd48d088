// The platform objects a run works with, built by WinMain or by a test.
#ifndef UNINSTALL_DRIVER_PLATFORM_PARTS_H_
#define UNINSTALL_DRIVER_PLATFORM_PARTS_H_

#include "platform/file_system.h"
#include "platform/launcher.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/script_engine.h"
#include "platform/security.h"
#include "platform/window_toolkit.h"

namespace uninstall {

struct PlatformParts {
  FileSystem& fs;
  Processes& processes;
  Launcher& launcher;
  Registry& registry;
  Security& security;
  ScriptEngine& script_engine;
  WindowToolkit& windows;
};

}  // namespace uninstall

#endif  // UNINSTALL_DRIVER_PLATFORM_PARTS_H_
