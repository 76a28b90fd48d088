#include "files/path_probe.h"

#include "common/paths.h"
#include "files/directory_listing.h"
#include "platform/scoped_handle.h"

namespace uninstall {

std::int64_t PathSize(FileSystem& fs, const std::string& path) {
  // A cut path could name something else, so a long one names nothing.
  if (!IsUsablePath(path)) return kNothingThere;

  // The search call can't report a drive root; the drive type can.
  if (IsDriveLetterRoot(path)) {
    std::string root = path.substr(0, path.rfind(':') + 1) + "\\";
    return fs.DriveTypeOf(root) > kDriveNoRootDir ? kDirectoryThere : kNothingThere;
  }

  const std::string trimmed = WithoutTrailingSeparators(path);

  FoundEntry entry;
  std::uint32_t error = 0;
  if (const ScopedSearch search(fs, fs.FindFirst(trimmed, &entry, &error)); search.valid()) {
    if (entry.attributes & kAttributeDirectory) return kDirectoryThere;
    return static_cast<std::int64_t>(entry.size);
  }

  // A UNC path such as the root of a share isn't found by a search either.
  if (trimmed.size() >= 2 && trimmed[0] == '\\' && trimmed[1] == '\\') {
    std::uint32_t attributes = fs.AttributesOf(trimmed);
    if (attributes != kInvalidAttributes && (attributes & kAttributeDirectory)) {
      return kDirectoryThere;
    }
  }
  return kNothingThere;
}

bool IsExistingFile(FileSystem& fs, const std::string& path) { return PathSize(fs, path) >= 0; }

bool IsEmptyDirectory(FileSystem& fs, const std::string& path) {
  return PathSize(fs, path) == kDirectoryThere && HoldsNothing(fs, path);
}

bool HoldsNothing(FileSystem& fs, const std::string& directory) {
  std::unique_ptr<DirectoryListing> listing = OpenListing(fs, directory, kAllFiles);
  if (!listing) return false;
  bool empty = true;
  while (listing->NextEntry()) {
    if (listing->EntryKind() == kFileEntry ||
        (listing->EntryName() != "." && listing->EntryName() != "..")) {
      empty = false;
      break;
    }
  }
  listing->CloseListing();
  return empty;
}

}  // namespace uninstall
