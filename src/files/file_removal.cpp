#include "files/file_removal.h"

#include "files/path_probe.h"

namespace uninstall {

bool RemoveFile(FileSystem& fs, const std::string& path) {
  if (path.empty() || path.size() > kMaxPathBytes) return false;
  return fs.EraseFile(path);
}

bool RemoveDirectoryTree(FileSystem& fs, const std::string& path, const std::string& pattern,
                         std::uint32_t flags, Heartbeat* heartbeat) {
  if (path.empty()) return false;
  std::string directory = path.back() == '\\' ? path : path + "\\";
  std::string search_pattern = directory + (pattern.empty() ? std::string(kAllFiles) : pattern);
  // Never cut a long name: the cut one could be another directory, removed by force.
  if (search_pattern.size() > kMaxPathBytes) return false;

  FoundEntry entry;
  std::uint32_t error = 0;
  SearchHandle search = fs.FindFirst(search_pattern, &entry, &error);
  if (search == 0) return false;
  do {
    std::string full_name = directory + entry.name;
    if (full_name.size() > kMaxPathBytes) continue;
    if (entry.attributes & kAttributeDirectory) {
      if (!(flags & kRemoveRecursive) || entry.name == "." || entry.name == "..") continue;
      if (entry.attributes & kAttributeReparsePoint) {
        RemoveLink(fs, full_name, flags);
      } else {
        RemoveDirectoryTree(fs, full_name, pattern, flags, heartbeat);
      }
    } else {
      if (flags & kRemoveForce) fs.SetAttributes(full_name, kAttributeNormal);
      fs.EraseFile(full_name);
    }
    if (heartbeat != nullptr) heartbeat->Beat();
  } while (fs.FindNext(search, &entry));
  fs.CloseSearch(search);

  if (flags & kRemoveForce) fs.SetAttributes(directory, kAttributeNormal);
  return fs.EraseDirectory(directory);
}

bool RemoveEmptyDirectory(FileSystem& fs, const std::string& path) {
  if (path.empty() || path.size() > kMaxPathBytes) return false;
  return fs.EraseDirectory(path);
}

bool RemoveLink(FileSystem& fs, const std::string& path, std::uint32_t flags) {
  std::string link = path;
  while (!link.empty() && link.back() == '\\') link.pop_back();
  if (link.empty() || link.size() > kMaxPathBytes) return false;
  if (flags & kRemoveForce) fs.SetAttributes(link, kAttributeNormal);
  return fs.EraseDirectory(link);
}

}  // namespace uninstall
