#include "files/program_files.h"

#include <algorithm>

#include "description/group_values.h"
#include "files/contained_removal.h"
#include "files/directory_listing.h"
#include "files/path_probe.h"

namespace uninstall {
namespace {

// The running uninstaller is removed by the self-removal batch once it has ended.
constexpr char kOwnFileName[] = "Uninstall.exe";

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Two values that name the same file below the same directory: letters compared without
// regard to case, either separator.
bool IsSameFile(const std::string& a, const std::string& b) {
  auto same = [](char x, char y) {
    if (x == '/') x = '\\';
    if (y == '/') y = '\\';
    return Upper(x) == Upper(y);
  };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), same);
}

}  // namespace

bool RemoveProgramFiles(FileSystem& fs, PreferenceReader& reader, const StatusLine& status,
                        const InstallationPaths& paths) {
  if (!IsExistingFile(fs, paths.uninstaller_dir + paths.prog_exe)) return false;
  bool result = false;
  ContainedRemoval installation(fs, paths.uninstaller_dir, false);
  auto remove_file = [&](const std::string& file) {
    if (installation.RemoveFile(file)) {
      status.Show(paths.uninstaller_dir + file);
      result = true;
    } else {
      status.Beat();
    }
  };
  reader.Open(paths.description_file_path);
  // The main executable is what tells a later run that the program is still installed: it goes
  // last, so that a run that is cut short can be run again to the end.
  bool lists_prog_exe = false;
  ForEachValue(reader, "Files", [&](const std::string& file) {
    if (file == kOwnFileName) {
      status.Beat();
    } else if (IsSameFile(file, paths.prog_exe)) {
      lists_prog_exe = true;
    } else {
      remove_file(file);
    }
  });
  ForEachValue(reader, "Dirs", [&](const std::string& dir) {
    if (installation.RemoveEmptyDirectory(status, dir)) result = true;
  });
  if (lists_prog_exe) {
    remove_file(paths.prog_exe);
    // The directories that held it, as listed, now that they may be empty.
    ForEachValue(reader, "Dirs", [&](const std::string& dir) {
      if (installation.Holds(dir, paths.prog_exe) &&
          installation.RemoveEmptyDirectory(status, dir)) {
        result = true;
      }
    });
  }
  reader.Close();
  return result;
}

bool RemoveAllFiles(FileSystem& fs, PreferenceReader& reader, const StatusLine& status,
                    const InstallationPaths& paths) {
  if (!IsExistingFile(fs, paths.uninstaller_dir + paths.prog_exe)) return false;
  ContainedRemoval installation(fs, paths.uninstaller_dir, false);
  // What tells a later run that the program is installed, and what it reads, stay to the end:
  // the main executable goes last, uninstall.dat with the leftovers.
  installation.Spare(paths.prog_exe);
  installation.Spare(paths.description_file_path.substr(paths.uninstaller_dir.size()));
  reader.Open(paths.description_file_path);
  bool prog_exe_in_a_tree = false;
  ForEachValue(reader, "Dirs", [&](const std::string& dir) {
    // Whole trees go by force: a value that leads outside the installation names nothing.
    if (!StaysInside(dir)) return;
    status.Show(paths.uninstaller_dir + dir + kAllFiles);
    installation.RemoveTree(dir, status.heartbeat());
    if (installation.Holds(dir, paths.prog_exe)) prog_exe_in_a_tree = true;
  });
  if (!paths.data_dir.empty()) {
    // Users can often create the data directory themselves: one that is a link is only ever
    // removed as itself, by an empty [DataDirs] value.
    ContainedRemoval data(fs, paths.data_dir, true);
    if (data.IsDirectory()) {
      ForEachValue(reader, "Data", [&](const std::string& file) {
        if (data.RemoveFile(file)) {
          status.Show(paths.data_dir + file);
        } else {
          status.Beat();
        }
      });
    }
    ForEachValue(reader, "DataDirs",
                 [&](const std::string& dir) { data.RemoveEmptyDirectory(status, dir); });
  }
  // The sweep: every file directly in the uninstaller's directory. The directory itself stays,
  // since the running uninstaller's file cannot go yet.
  status.Show(paths.uninstaller_dir + kAllFiles);
  installation.SweepFiles(status.heartbeat());
  // The main executable, where a tree or the sweep would have taken it, and then what is left of
  // the trees that held it.
  if (prog_exe_in_a_tree || installation.Holds("", paths.prog_exe)) {
    installation.RemoveFile(paths.prog_exe, true);
    ForEachValue(reader, "Dirs", [&](const std::string& dir) {
      if (StaysInside(dir) && installation.Holds(dir, paths.prog_exe) && !dir.empty()) {
        installation.RemoveTree(dir, status.heartbeat());
      }
    });
  }
  reader.Close();
  return true;
}

}  // namespace uninstall
