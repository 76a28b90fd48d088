#include "files/contained_removal.h"

#include "common/paths.h"
#include "files/directory_listing.h"
#include "files/file_removal.h"
#include "files/path_probe.h"

namespace uninstall {
namespace {

// A component that Windows would resolve to the parent: ".." (trailing dots and blanks are
// dropped from path components, so "..." and ".. " count too).
bool IsParentReference(std::string_view component) {
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
  if (!relative_path.empty() && kPathSeparators.find(relative_path[0]) != std::string::npos) {
    return false;
  }
  if (relative_path.find(':') != std::string::npos) return false;
  std::size_t start = 0;
  while (start <= relative_path.size()) {
    std::size_t end = relative_path.find_first_of(kPathSeparators, start);
    if (end == std::string::npos) end = relative_path.size();
    if (IsParentReference(std::string_view(relative_path).substr(start, end - start))) {
      return false;
    }
    start = end + 1;
  }
  return true;
}

PathNature NatureOf(FileSystem& fs, const std::string& path) {
  std::string trimmed = path;
  while (!trimmed.empty() && kPathSeparators.find(trimmed.back()) != std::string::npos) {
    trimmed.pop_back();
  }
  if (trimmed.empty()) return PathNature::kUnknown;
  std::uint32_t attributes = fs.AttributesOf(trimmed);
  if (attributes == kInvalidAttributes) return PathNature::kUnknown;
  if ((attributes & kAttributeReparsePoint) != 0) return PathNature::kLink;
  return (attributes & kAttributeDirectory) != 0 ? PathNature::kDirectory : PathNature::kFile;
}

bool PassesThroughLink(FileSystem& fs, const std::string& base, const std::string& relative) {
  // The end of every non-empty component; the last one is the path's own name.
  std::size_t previous_end = std::string::npos;
  std::size_t start = 0;
  while (start < relative.size()) {
    std::size_t end = relative.find_first_of(kPathSeparators, start);
    if (end == std::string::npos) end = relative.size();
    if (end > start) {
      // A part that cannot be looked at may be a link as well: nothing goes through it.
      if (previous_end != std::string::npos &&
          NatureOf(fs, base + relative.substr(0, previous_end)) != PathNature::kDirectory) {
        return true;
      }
      previous_end = end;
    }
    start = end + 1;
  }
  return false;
}

bool RemoveFileInside(FileSystem& fs, const std::string& base, const std::string& relative) {
  if (!StaysInside(relative) || PassesThroughLink(fs, base, relative)) return false;
  return RemoveFile(fs, base + relative);
}

bool RemoveEmptyDirectoryBelow(FileSystem& fs, const StatusLine& status, const std::string& base,
                               const std::string& relative) {
  const std::string path = base + relative;
  if (PassesThroughLink(fs, base, relative)) return false;
  switch (NatureOf(fs, path)) {
    case PathNature::kLink:
      // Never looked into: what it points to lies elsewhere.
      status.Show(path + kAllFiles);
      RemoveLink(fs, path, 0);
      return true;
    case PathNature::kDirectory:
      // The system removes a directory only while it is empty, so the removal is tried first and
      // nothing that appears in it meanwhile is lost. One that stays (read-only, in use) still
      // counts when it holds nothing.
      if (!RemoveEmptyDirectory(fs, path) && !HoldsNothing(fs, path)) return false;
      status.Show(path + kAllFiles);
      return true;
    case PathNature::kFile:
    case PathNature::kUnknown:  // missing, or nothing tells what it is
      break;
  }
  return false;
}

}  // namespace uninstall
