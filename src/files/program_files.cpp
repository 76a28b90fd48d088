#include "files/program_files.h"

#include "description/group_values.h"
#include "files/contained_removal.h"
#include "files/directory_listing.h"
#include "files/path_probe.h"

namespace uninstall {
namespace {

// The running uninstaller is removed by the self-removal batch once it has ended.
constexpr char kOwnFileName[] = "Uninstall.exe";

}  // namespace

bool RemoveProgramFiles(FileSystem& fs, PreferenceReader& reader, const StatusLine& status,
                        const InstallationPaths& paths) {
  if (!IsExistingFile(fs, paths.uninstaller_dir + paths.prog_exe)) return false;
  bool result = false;
  ContainedRemoval installation(fs, paths.uninstaller_dir, false);
  reader.Open(paths.description_file_path);
  ForEachValue(reader, "Files", [&](const std::string& file) {
    if (file != kOwnFileName && installation.RemoveFile(file)) {
      status.Show(paths.uninstaller_dir + file);
      result = true;
    } else {
      status.Beat();
    }
  });
  ForEachValue(reader, "Dirs", [&](const std::string& dir) {
    if (installation.RemoveEmptyDirectory(status, dir)) result = true;
  });
  reader.Close();
  return result;
}

bool RemoveAllFiles(FileSystem& fs, PreferenceReader& reader, const StatusLine& status,
                    const InstallationPaths& paths) {
  if (!IsExistingFile(fs, paths.uninstaller_dir + paths.prog_exe)) return false;
  ContainedRemoval installation(fs, paths.uninstaller_dir, false);
  reader.Open(paths.description_file_path);
  ForEachValue(reader, "Dirs", [&](const std::string& dir) {
    // Whole trees go by force: a value that leads outside the installation names nothing.
    if (!StaysInside(dir)) return;
    status.Show(paths.uninstaller_dir + dir + kAllFiles);
    installation.RemoveTree(dir, status.heartbeat());
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
  reader.Close();
  // The sweep: every file directly in the uninstaller's directory, uninstall.dat included.
  // The directory itself stays, since the running uninstaller's file cannot go yet.
  status.Show(paths.uninstaller_dir + kAllFiles);
  installation.SweepFiles(status.heartbeat());
  return true;
}

}  // namespace uninstall
