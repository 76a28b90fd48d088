#include "files/program_files.h"

#include "description/group_values.h"
#include "files/file_removal.h"
#include "files/path_probe.h"
#include "ui/status_line.h"

namespace uninstall {
namespace {

// The running uninstaller is removed by the self-removal batch once it has ended.
constexpr char kOwnFileName[] = "Uninstall.exe";

// A component that Windows would resolve to the parent: ".." (trailing dots and blanks are
// dropped from path components, so "..." and ".. " count too).
bool IsParentReference(const std::string& component) {
  int dots = 0;
  for (char c : component) {
    if (c == '.') {
      ++dots;
    } else if (c != ' ') {
      return false;
    }
  }
  return dots >= 2;
}

}  // namespace

bool StaysInside(const std::string& relative_path) {
  if (!relative_path.empty() && (relative_path[0] == '\\' || relative_path[0] == '/')) {
    return false;
  }
  if (relative_path.find(':') != std::string::npos) return false;
  std::size_t start = 0;
  while (start <= relative_path.size()) {
    std::size_t end = relative_path.find_first_of("\\/", start);
    if (end == std::string::npos) end = relative_path.size();
    if (IsParentReference(relative_path.substr(start, end - start))) return false;
    start = end + 1;
  }
  return true;
}

bool RemoveProgramFiles(FileSystem& fs, PreferenceReader& reader, WindowToolkit& windows,
                        const InstallationPaths& paths) {
  if (!IsExistingFile(fs, paths.uninstaller_dir + paths.prog_exe)) return false;
  // Shown in both modes: without the window there is no status bar to show them.
  const StatusLine status(windows, true);
  bool result = false;
  reader.Open(paths.description_file_path);
  for (const std::string& file : GroupValues(reader, "Files")) {
    if (file == kOwnFileName) continue;
    std::string path = paths.uninstaller_dir + file;
    if (RemoveFile(fs, path)) {
      status.Show(path);
      result = true;
    }
  }
  for (const std::string& dir : GroupValues(reader, "Dirs")) {
    std::string path = paths.uninstaller_dir + dir;
    if (!IsExistingDirectory(fs, path) || !IsEmptyDirectory(fs, path)) continue;
    status.Show(path + kAllFiles);
    RemoveDirectoryTree(fs, path, kAllFiles, 0);
    result = true;
  }
  reader.Close();
  return result;
}

bool RemoveAllFiles(FileSystem& fs, PreferenceReader& reader, WindowToolkit& windows,
                    const InstallationPaths& paths) {
  if (!IsExistingFile(fs, paths.uninstaller_dir + paths.prog_exe)) return false;
  const StatusLine status(windows, true);
  reader.Open(paths.description_file_path);
  for (const std::string& dir : GroupValues(reader, "Dirs")) {
    // Whole trees go by force: a value that leads outside the installation names nothing.
    if (!StaysInside(dir)) continue;
    std::string path = paths.uninstaller_dir + dir;
    status.Show(path + kAllFiles);
    RemoveDirectoryTree(fs, path, kAllFiles, kRemoveRecursive | kRemoveForce);
  }
  if (!paths.data_dir.empty() && IsExistingDirectory(fs, paths.data_dir)) {
    for (const std::string& file : GroupValues(reader, "Data")) {
      if (!StaysInside(file)) continue;
      std::string path = paths.data_dir + file;
      if (RemoveFile(fs, path)) status.Show(path);
    }
    for (const std::string& dir : GroupValues(reader, "DataDirs")) {
      if (!StaysInside(dir)) continue;
      std::string path = paths.data_dir + dir;
      if (!IsEmptyDirectory(fs, path)) continue;
      status.Show(path + kAllFiles);
      RemoveDirectoryTree(fs, path, kAllFiles, 0);
    }
  }
  reader.Close();
  // The sweep: every file directly in the uninstaller's directory, uninstall.dat included.
  // The directory itself stays, since the running uninstaller's file cannot go yet.
  status.Show(paths.uninstaller_dir + kAllFiles);
  RemoveDirectoryTree(fs, paths.uninstaller_dir, kAllFiles, kRemoveForce);
  return true;
}

}  // namespace uninstall
