#include "files/program_files.h"

#include <algorithm>

#include "common/paths.h"
#include "files/directory_listing.h"
#include "files/path_probe.h"

namespace uninstall {
namespace {

// The running uninstaller is removed by the self-removal batch once it has ended.
constexpr char kOwnFileName[] = "Uninstall.exe";

// A value of the ordinary removal that leads outside the uninstaller's directory ("..", a drive,
// a leading separator) names what its path joined to that directory names, as the system reads
// that path: the directory it names is opened by its path, and the last name deleted relative to
// that directory's handle, never followed where it is a link.
bool RemoveOutsideFile(FileSystem& fs, const std::string& joined) {
  const std::optional<ParentAndName> target = ResolvedByText(joined);
  if (!target || target->name.empty()) return false;
  return ContainedRemoval(fs, target->directory, BaseName::kTrusted).RemoveFile(target->name);
}

bool RemoveOutsideEmptyDirectory(FileSystem& fs, const std::string& joined, Progress& progress) {
  const std::optional<ParentAndName> target = ResolvedByText(joined);
  if (!target || target->name.empty()) return false;
  return ContainedRemoval(fs, target->directory, BaseName::kTrusted)
      .RemoveEmptyDirectory(target->name, joined, progress);
}

}  // namespace

ContainedRemoval InstallationRemoval(FileSystem& fs, const InstallationPaths& paths) {
  if (paths.kept_uninstaller_dir != nullptr) {
    return ContainedRemoval(fs, paths.uninstaller_dir, *paths.kept_uninstaller_dir);
  }
  return ContainedRemoval(fs, paths.uninstaller_dir, BaseName::kTrusted);
}

bool RemoveProgramFiles(FileSystem& fs, const Description& description,
                        const InstallationPaths& paths, Progress& progress) {
  if (!IsExistingFile(fs, paths.uninstaller_dir + paths.prog_exe)) return false;
  bool result = false;
  ContainedRemoval installation = InstallationRemoval(fs, paths);
  auto remove_file = [&](const std::string& file) {
    const bool removed = StaysInside(file) ? installation.RemoveFile(file)
                                           : RemoveOutsideFile(fs, paths.uninstaller_dir + file);
    if (removed) {
      progress.Show(paths.uninstaller_dir + file);
      result = true;
    } else {
      progress.Beat();
    }
  };
  // The main executable is what tells a later run that the program is still installed: it goes
  // last, so that a run that is cut short can be run again to the end.
  bool lists_prog_exe = false;
  const std::u16string prog_exe_key = ComparableValue(fs, paths.prog_exe);
  description.ForEachValue("Files", [&](const std::string& file) {
    if (file == kOwnFileName) {
      progress.Beat();
    } else if (fs.SameFileName(ComparableValue(fs, file), prog_exe_key)) {
      lists_prog_exe = true;
    } else {
      remove_file(file);
    }
    progress.Done();
  });
  auto remove_directory = [&](const std::string& dir) {
    if (StaysInside(dir) ? installation.RemoveEmptyDirectory(dir, progress)
                         : RemoveOutsideEmptyDirectory(fs, paths.uninstaller_dir + dir, progress)) {
      result = true;
    }
  };
  description.ForEachValue("Dirs", [&](const std::string& dir) {
    remove_directory(dir);
    progress.Done();
  });
  if (lists_prog_exe) {
    remove_file(paths.prog_exe);
    // The directories that held it, as listed, now that they may be empty.
    description.ForEachValue("Dirs", [&](const std::string& dir) {
      if (installation.Holds(dir, paths.prog_exe)) remove_directory(dir);
    });
  }
  return result;
}

bool RemoveAllFiles(FileSystem& fs, const Description& description, const InstallationPaths& paths,
                    Progress& progress) {
  if (!IsExistingFile(fs, paths.uninstaller_dir + paths.prog_exe)) return false;
  ContainedRemoval installation = InstallationRemoval(fs, paths);
  // What tells a later run that the program is installed, and what it reads, stay to the end:
  // the main executable goes last, uninstall.dat with the leftovers.
  installation.Spare(paths.prog_exe);
  installation.Spare(paths.description_file_path.substr(paths.uninstaller_dir.size()));
  bool prog_exe_in_a_tree = false;
  description.ForEachValue("Dirs", [&](const std::string& dir) {
    // Whole trees go by force: a value that leads outside the installation names nothing.
    progress.Done();
    if (!StaysInside(dir)) return;
    progress.Show(paths.uninstaller_dir + dir + kAllFiles);
    installation.RemoveTree(dir, progress);
    if (installation.Holds(dir, paths.prog_exe)) prog_exe_in_a_tree = true;
  });
  // Values of a group passed over as a whole are done all the same: the window's bar counted them.
  auto pass_over = [&](const std::string&) { progress.Done(); };
  if (!paths.data_dir.empty()) {
    // Users can often create the data directory themselves: one that is a link is only ever
    // removed as itself, by an empty [DataDirs] value.
    ContainedRemoval data(fs, paths.data_dir, BaseName::kChecked);
    if (data.IsDirectory()) {
      description.ForEachValue("Data", [&](const std::string& file) {
        if (data.RemoveFile(file)) {
          progress.Show(paths.data_dir + file);
        } else {
          progress.Beat();
        }
        progress.Done();
      });
    } else {
      description.ForEachValue("Data", pass_over);
    }
    description.ForEachValue("DataDirs", [&](const std::string& dir) {
      data.RemoveEmptyDirectory(dir, progress);
      progress.Done();
    });
  } else {
    description.ForEachValue("Data", pass_over);
    description.ForEachValue("DataDirs", pass_over);
  }
  // The sweep: every file directly in the uninstaller's directory. The directory itself stays,
  // since the running uninstaller's file cannot go yet.
  progress.Show(paths.uninstaller_dir + kAllFiles);
  installation.SweepFiles(progress);
  // The main executable, where a tree or the sweep would have taken it (not in a subdirectory
  // that no tree takes, which keeps what [Files] lists there too), and then what is left of the
  // trees that held it.
  if (prog_exe_in_a_tree || installation.HoldsDirectly(paths.prog_exe)) {
    installation.RemoveFile(paths.prog_exe, Force::kYes);
    description.ForEachValue("Dirs", [&](const std::string& dir) {
      if (StaysInside(dir) && installation.Holds(dir, paths.prog_exe) && !dir.empty()) {
        installation.RemoveTree(dir, progress);
      }
    });
  }
  return true;
}

}  // namespace uninstall
