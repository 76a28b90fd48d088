// A file system held in memory that answers the program's calls as Windows does: drive letters
// and shares with their drive types, names compared as the system compares them and kept in
// their case, attributes, sharing, searches with "." and "..", directories removable only when
// empty, read-only files refusing deletion, links, deletions waiting for the last handle.
//
// It starts empty, for the tests to build on, or as a copy of the system's file system that is
// read a directory at a time, when first needed, and then changed only here: a plan's. Of a copied
// node, what names it (its ids and the paths the system gives for it) stays the system's, asked
// through a handle of the system's own, opened for reading alone, beside each one opened here.
#ifndef UNINSTALL_MODEL_MEMORY_FILE_SYSTEM_H_
#define UNINSTALL_MODEL_MEMORY_FILE_SYSTEM_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace uninstall {

class MemoryFileSystem : public FileSystem {
 public:
  // Empty, with no drive; its names are in the Western code page.
  MemoryFileSystem();
  // The system's file system as it is, read from `system` when first needed.
  explicit MemoryFileSystem(FileSystem& system);
  ~MemoryFileSystem() override;
  MemoryFileSystem(const MemoryFileSystem&) = delete;
  MemoryFileSystem& operator=(const MemoryFileSystem&) = delete;

  // --- Setting up -------------------------------------------------------------------------
  void AddDrive(char letter, std::uint32_t type = kDriveFixed);
  // Creates the directory and any missing parents (paths like C:\App or C:\App\).
  void AddDirectory(const std::string& path, std::uint32_t attributes = kAttributeDirectory);
  // Creates the file (and missing parent directories) with the given contents.
  void AddFile(const std::string& path, const std::string& contents = "",
               std::uint32_t attributes = kAttributeArchive);
  // Makes the file report `size` instead of its contents' length (for very large files).
  void SetReportedSize(const std::string& path, std::uint64_t size);
  // A junction at `path` that points to the directory `target`: what is looked up inside it is
  // looked up in the target, and removing it removes only the link.
  void AddLink(const std::string& path, const std::string& target);
  // From now on only this many more bytes can be written (a disk filling up).
  void SetDiskSpace(std::uint64_t bytes);
  // A file in use by a program (held open, or running), or no longer: while it is, it cannot be
  // deleted or opened for deletion, and it is shared for reading only.
  void HoldOpen(const std::string& path, bool held = true);
  // Moves a file or directory to another name (its parent must exist); handles open on it, or
  // on anything in it, keep working on it where it now is.
  bool Rename(const std::string& from, const std::string& to);
  // What WholeFolders answers when nothing is copied.
  std::vector<std::string> whole_folders;
  // Opening a link by a relative name opens what it points to, as Wine does (Windows opens the
  // link itself).
  void SetOpensFollowLinks(bool follow);
  // The final path of a node opened by a relative name is that name in its parent's final path,
  // wherever the node is, and its deletion takes effect only while that name still leads to it:
  // as Wine works both out from the name when a directory was swapped meanwhile.
  void SetFinalPathsByName(bool by_name);
  // NormalizedPath of a directory opened by a path of a network share names that path
  // ("\\?\UNC\..."), wherever it leads: as Windows names a folder of this machine reached
  // through a share (a mapped drive).
  void SetNormalizedPathsAsOpened(bool as_opened);

  // --- Looking at the result --------------------------------------------------------------
  bool Exists(const std::string& path) const;
  bool IsDirectory(const std::string& path) const;
  std::string Contents(const std::string& path) const;
  std::uint32_t Attributes(const std::string& path) const;
  // Every file and directory below the drives, as full paths in stored case, sorted;
  // directories end with a backslash.
  std::vector<std::string> AllPaths() const;
  // Number of search, file and node handles still open (to catch leaks).
  int OpenHandles() const;
  // The security descriptor a file was created with by CreateProtectedFile; "" for none.
  std::string SecurityOf(const std::string& path) const;
  // The creation disposition of the last OpenFile call.
  std::uint32_t LastDisposition() const;

  // --- FileSystem -------------------------------------------------------------------------
  SearchHandle FindFirst(const std::string& pattern, FoundEntry* entry,
                         std::uint32_t* error) override;
  bool FindNext(SearchHandle search, FoundEntry* entry) override;
  void CloseSearch(SearchHandle search) override;
  std::uint32_t DriveTypeOf(const std::string& root) override;
  std::uint32_t AttributesOf(const std::string& path) override;
  bool SetAttributes(const std::string& path, std::uint32_t attributes) override;
  bool EraseFile(const std::string& path) override;
  bool EraseDirectory(const std::string& path) override;
  FileHandle OpenFile(const std::string& path, std::uint32_t access, std::uint32_t share,
                      std::uint32_t disposition, std::uint32_t attributes,
                      std::uint32_t* error) override;
  FileHandle CreateProtectedFile(const std::string& path, const std::string& security,
                                 std::uint32_t* error) override;
  std::int64_t SizeOfFile(FileHandle file) override;
  bool ReadBytes(FileHandle file, void* buffer, std::uint32_t count, std::uint32_t* read) override;
  bool WriteBytes(FileHandle file, const void* buffer, std::uint32_t count,
                  std::uint32_t* written) override;
  bool MovePointer(FileHandle file, std::int64_t distance, MoveFrom from) override;
  void CloseFile(FileHandle file) override;
  NodeHandle OpenDirectoryPath(const std::u16string& path, std::uint32_t access,
                               std::uint32_t* error) override;
  NodeHandle OpenNode(NodeHandle parent, const std::u16string& name, std::uint32_t access,
                      std::uint32_t* error) override;
  bool NodeAttributes(NodeHandle node, std::uint32_t* attributes) override;
  bool FinalPath(NodeHandle node, std::u16string* path) override;
  bool NormalizedPath(NodeHandle node, std::u16string* path) override;
  bool NodeId(NodeHandle node, std::uint64_t* id) override;
  bool NodeIdentity(NodeHandle node, std::uint32_t* volume, std::uint64_t* id) override;
  bool FindListedEntry(NodeHandle directory, const std::u16string& name,
                       ListedName* entry) override;
  bool SetNodeAttributes(NodeHandle node, std::uint32_t attributes) override;
  bool DeleteOnClose(NodeHandle node) override;
  bool ListNode(NodeHandle directory, ListFrom from, std::vector<ListedName>* entries) override;
  void CloseNode(NodeHandle node) override;
  bool WidenName(const std::string& text, std::u16string* wide) override;
  bool NarrowName(std::u16string_view wide, std::string* text) override;
  bool SameFileName(std::u16string_view a, std::u16string_view b) override;
  std::vector<std::u16string> WholeFolders() override;

 protected:
  // A node left the tree for good (its path then, and whether it was a directory).
  virtual void Removed(const std::u16string& path, bool directory);
  // What the handles stand for, as a call log writes them: the path of the node (or "(gone)"
  // and its name), the path a file or search was opened with, or the handle's number.
  std::string NodeText(NodeHandle node);
  std::string FileText(FileHandle file) const;
  std::string SearchText(SearchHandle search) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace uninstall

#endif  // UNINSTALL_MODEL_MEMORY_FILE_SYSTEM_H_
