// Removing the installed program's files: the ordinary removal and the delete-all removal.
#ifndef UNINSTALL_FILES_PROGRAM_FILES_H_
#define UNINSTALL_FILES_PROGRAM_FILES_H_

#include <string>

#include "common/progress.h"
#include "description/description.h"
#include "files/contained_removal.h"
#include "files/verified_node.h"
#include "platform/file_system.h"

namespace uninstall {

// Where the installation lies, from the driver's state.
struct InstallationPaths {
  std::string uninstaller_dir;        // ends with a backslash
  std::string description_file_path;  // uninstaller_dir + "uninstall.dat"
  std::string prog_exe;               // main executable, relative to uninstaller_dir
  std::string data_dir;               // ends with a backslash; "\" when there is none
  // The uninstaller's directory as opened for the whole run, which the removal starts from;
  // when none is given, it is opened by its path.
  const VerifiedNode* kept_uninstaller_dir = nullptr;
};

// The removal of what lies below the uninstaller's directory.
ContainedRemoval InstallationRemoval(FileSystem& fs, const InstallationPaths& paths);

// Deletes the files of [Files] (never "Uninstall.exe" itself) and then the [Dirs] directories
// that have become empty; nothing is deleted or looked into through a link below the
// uninstaller's directory, and a listed directory that is a link loses only the link. True when a
// file was deleted or an empty directory was found. Nothing happens while the main executable is
// missing.
bool RemoveProgramFiles(FileSystem& fs, const Description& description,
                        const InstallationPaths& paths, Progress& progress);

// Deletes the [Dirs] trees by force, the [Data] files and empty [DataDirs] directories under
// the data directory, and every file directly in the uninstaller's directory; values leading
// outside their directory, or through a link below it, are passed over. True whenever
// the main executable was there at the start.
bool RemoveAllFiles(FileSystem& fs, const Description& description, const InstallationPaths& paths,
                    Progress& progress);

}  // namespace uninstall

#endif  // UNINSTALL_FILES_PROGRAM_FILES_H_
