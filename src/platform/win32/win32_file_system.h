// The file-system calls of FileSystem on the Win32 ANSI file API, one call each.
#ifndef UNINSTALL_PLATFORM_WIN32_WIN32_FILE_SYSTEM_H_
#define UNINSTALL_PLATFORM_WIN32_WIN32_FILE_SYSTEM_H_

#include <cstdint>
#include <string>

#include "platform/file_system.h"

namespace uninstall {

class Win32FileSystem : public FileSystem {
 public:
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
};

}  // namespace uninstall

#endif  // UNINSTALL_PLATFORM_WIN32_WIN32_FILE_SYSTEM_H_
