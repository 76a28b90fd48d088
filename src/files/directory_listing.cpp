#include "files/directory_listing.h"

#include "common/paths.h"
#include "files/path_probe.h"

namespace uninstall {

DirectoryListing::DirectoryListing(FileSystem& fs, SearchHandle search, const FoundEntry& first)
    : fs_(fs),
      search_(fs, search),
      first_unread_(search.valid()),
      has_entries_(search.valid()),
      current_(search.valid() ? first : FoundEntry{}) {}

DirectoryListing::~DirectoryListing() { CloseListing(); }

bool DirectoryListing::NextEntry() {
  if (!has_entries_) return false;
  if (first_unread_) {
    first_unread_ = false;
    return true;
  }
  FoundEntry next;
  if (!fs_.FindNext(search_.get(), &next)) {
    has_entries_ = false;
    current_ = FoundEntry{};
    return false;
  }
  current_ = std::move(next);
  return true;
}

int DirectoryListing::EntryKind() const {
  if (current_.name.empty()) return kNoEntry;
  return (current_.attributes & kAttributeDirectory) ? kDirectoryEntry : kFileEntry;
}

void DirectoryListing::CloseListing() {
  search_.Close();
  has_entries_ = false;
  first_unread_ = false;
  current_ = FoundEntry{};
}

std::unique_ptr<DirectoryListing> OpenListing(FileSystem& fs, const std::string& directory,
                                              const std::string& pattern) {
  std::string search_pattern = directory.empty() ? "" : WithTrailingBackslash(directory);
  search_pattern += pattern.empty() ? kAllFiles : pattern;
  if (search_pattern.size() > kMaxPathBytes) return nullptr;

  FoundEntry first;
  std::uint32_t error = 0;
  SearchHandle search = fs.FindFirst(search_pattern, &first, &error);
  if (!search.valid() && error != kErrorFileNotFound) return nullptr;
  return std::make_unique<DirectoryListing>(fs, search, first);
}

bool NextEntry(DirectoryListing* listing) { return listing != nullptr && listing->NextEntry(); }

std::string EntryName(const DirectoryListing* listing) {
  return listing == nullptr ? std::string() : listing->EntryName();
}

int EntryKind(const DirectoryListing* listing) {
  return listing == nullptr ? kNoEntry : listing->EntryKind();
}

}  // namespace uninstall
