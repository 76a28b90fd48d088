#include "files/file_removal.h"

#include "common/paths.h"
#include "files/path_probe.h"

namespace uninstall {

bool RemoveFile(FileSystem& fs, const std::string& path) {
  if (!IsUsablePath(path)) return false;
  return fs.EraseFile(path);
}

bool RemoveEmptyDirectory(FileSystem& fs, const std::string& path) {
  if (!IsUsablePath(path)) return false;
  return fs.EraseDirectory(path);
}

}  // namespace uninstall
