// Enumerating a directory.
#ifndef UNINSTALL_FILES_DIRECTORY_LISTING_H_
#define UNINSTALL_FILES_DIRECTORY_LISTING_H_

#include <memory>
#include <string>

#include "platform/file_system.h"
#include "platform/scoped_handle.h"
namespace uninstall {

// The pattern that matches every name, names without a dot included.
inline constexpr char kAllFiles[] = "*.*";

// Entry kinds.
inline constexpr int kNoEntry = 0;
inline constexpr int kFileEntry = 1;
inline constexpr int kDirectoryEntry = 2;

// Owns one search handle; closing happens in CloseListing or the destructor.
class DirectoryListing {
 public:
  DirectoryListing(FileSystem& fs, SearchHandle search, const FoundEntry& first);
  ~DirectoryListing();
  DirectoryListing(const DirectoryListing&) = delete;
  DirectoryListing& operator=(const DirectoryListing&) = delete;

  // The first call makes the already-found first entry current; later calls fetch the next.
  bool NextEntry();
  const std::string& EntryName() const { return current_.name; }
  int EntryKind() const;
  void CloseListing();

 private:
  FileSystem& fs_;
  ScopedSearch search_;
  bool first_unread_;
  bool has_entries_;
  FoundEntry current_;
};

// Lists `directory` (a backslash is put between it and the pattern when missing; an empty
// pattern means "*.*"). A directory in which nothing matches gives a listing without entries;
// a missing directory, a file or a refused search gives none.
std::unique_ptr<DirectoryListing> OpenListing(FileSystem& fs, const std::string& directory,
                                              const std::string& pattern);

// Answers for a listing that does not exist.
bool NextEntry(DirectoryListing* listing);
std::string EntryName(const DirectoryListing* listing);
int EntryKind(const DirectoryListing* listing);

}  // namespace uninstall

#endif  // UNINSTALL_FILES_DIRECTORY_LISTING_H_
