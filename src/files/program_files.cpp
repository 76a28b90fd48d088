#include "files/program_files.h"

#include "description/group_values.h"
#include "files/contained_removal.h"
#include "files/file_removal.h"
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
  reader.Open(paths.description_file_path);
  ForEachValue(reader, "Files", [&](const std::string& file) {
    if (file == kOwnFileName || PassesThroughLink(fs, paths.uninstaller_dir, file)) return;
    std::string path = paths.uninstaller_dir + file;
    if (RemoveFile(fs, path)) {
      status.Show(path);
      result = true;
    } else {
      status.Beat();
    }
  });
  ForEachValue(reader, "Dirs", [&](const std::string& dir) {
    if (RemoveEmptyDirectoryBelow(fs, status, paths.uninstaller_dir, dir)) result = true;
  });
  reader.Close();
  return result;
}

bool RemoveAllFiles(FileSystem& fs, PreferenceReader& reader, const StatusLine& status,
                    const InstallationPaths& paths) {
  if (!IsExistingFile(fs, paths.uninstaller_dir + paths.prog_exe)) return false;
  reader.Open(paths.description_file_path);
  ForEachValue(reader, "Dirs", [&](const std::string& dir) {
    // Whole trees go by force: a value that leads outside the installation names nothing.
    if (!StaysInside(dir)) return;
    std::string path = paths.uninstaller_dir + dir;
    status.Show(path + kAllFiles);
    if (PassesThroughLink(fs, paths.uninstaller_dir, dir)) return;
    switch (NatureOf(fs, path)) {
      case PathNature::kLink:
        RemoveLink(fs, path, kRemoveForce);
        break;
      case PathNature::kDirectory:
        RemoveDirectoryTree(fs, path, kAllFiles, kRemoveRecursive | kRemoveForce,
                            status.heartbeat());
        break;
      case PathNature::kFile:
      case PathNature::kUnknown:  // missing, or nothing tells what it is
        break;
    }
  });
  if (!paths.data_dir.empty() && IsExistingDirectory(fs, paths.data_dir)) {
    ForEachValue(reader, "Data", [&](const std::string& file) {
      if (RemoveFileInside(fs, paths.data_dir, file)) {
        status.Show(paths.data_dir + file);
      } else {
        status.Beat();
      }
    });
    ForEachValue(reader, "DataDirs", [&](const std::string& dir) {
      if (StaysInside(dir)) RemoveEmptyDirectoryBelow(fs, status, paths.data_dir, dir);
    });
  }
  reader.Close();
  // The sweep: every file directly in the uninstaller's directory, uninstall.dat included.
  // The directory itself stays, since the running uninstaller's file cannot go yet.
  status.Show(paths.uninstaller_dir + kAllFiles);
  RemoveDirectoryTree(fs, paths.uninstaller_dir, kAllFiles, kRemoveForce, status.heartbeat());
  return true;
}

}  // namespace uninstall
