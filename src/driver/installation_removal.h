// The removal itself, the same for both modes: the shell integration, the after-program, the
// program files and the uninstall entry, in this order.
#ifndef UNINSTALL_DRIVER_INSTALLATION_REMOVAL_H_
#define UNINSTALL_DRIVER_INSTALLATION_REMOVAL_H_

#include <cstdint>
#include <string>

#include "common/progress.h"
#include "description/description.h"
#include "description/uninstall_settings.h"
#include "driver/platform_parts.h"
#include "external/program_launcher.h"
#include "files/verified_node.h"

namespace uninstall {

// What is removed: the installation around the running uninstaller.
struct Installation {
  const std::string& uninstaller_dir;  // ends with a backslash
  const std::string& description_file_path;
  const UninstallSettings& settings;
  // uninstall.dat as it stands after the before-program and the script, which may rewrite it.
  const Description& description;
  // The uninstaller's directory as opened for the whole run.
  const VerifiedNode& kept_uninstaller_dir;
};

struct RemovalOptions {
  // The user's "delete all" in the window: whole trees, the data and the per-user product key.
  bool delete_all = false;
};

// The pieces of work a removal with `options` announces as it does them, as far as
// uninstall.dat tells (a tree's entries are announced as it is listed): one for each value of
// the groups it goes through.
std::uint64_t PiecesOfWork(const Description& description, RemovalOptions options);

// Removes the installation, reporting to `progress`. True when the file removal removed something
// (the main executable was there); false when it removed nothing, or the uninstaller sits in a
// drive root, where no program files are removed. The uninstall entry goes either way.
bool RemoveInstallation(const PlatformParts& platform, ProgramLauncher& launcher,
                        const Installation& installation, RemovalOptions options,
                        Progress& progress);

}  // namespace uninstall

#endif  // UNINSTALL_DRIVER_INSTALLATION_REMOVAL_H_
