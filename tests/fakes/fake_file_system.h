// The in-memory file system of the tests: the program's model of Windows' file system, with
// every call written to the call log, where a test can also make one fail.
#ifndef UNINSTALL_TESTS_FAKES_FAKE_FILE_SYSTEM_H_
#define UNINSTALL_TESTS_FAKES_FAKE_FILE_SYSTEM_H_

#include <cstdint>
#include <string>
#include <vector>

#include "fakes/call_log.h"
#include "model/memory_file_system.h"

namespace uninstall {

class FakeFileSystem : public MemoryFileSystem {
 public:
  // Starts with one fixed drive, C:. Calls are logged to `log` when given.
  explicit FakeFileSystem(CallLog* log = nullptr);

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
  std::vector<std::u16string> WholeFolders() override;

 private:
  // Records the call; true when fault injection makes it fail.
  bool Log(const std::string& entry) { return log_ != nullptr && log_->Add(entry); }
  // A node's path for the log; nothing is worked out when there is no log.
  std::string Text(NodeHandle node) { return log_ != nullptr ? NodeText(node) : std::string(); }

  CallLog* log_;
};

}  // namespace uninstall

#endif  // UNINSTALL_TESTS_FAKES_FAKE_FILE_SYSTEM_H_
