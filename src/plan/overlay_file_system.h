// The file system of a plan: every read goes to the system's file system, every change is kept
// here. What the planned removal deletes is written to the plan when it goes (a node marked for
// deletion with its last handle) and is gone from then on for every later read (a directory whose
// listed files went reads as empty); attribute changes are seen by later reads; written files are
// kept nowhere. Nothing is ever opened with the right to delete or to write.
#ifndef UNINSTALL_PLAN_OVERLAY_FILE_SYSTEM_H_
#define UNINSTALL_PLAN_OVERLAY_FILE_SYSTEM_H_

#include <map>
#include <set>
#include <string>
#include <vector>

#include "model/node_rules.h"
#include "plan/plan_log.h"
#include "platform/file_system.h"

namespace uninstall {

class OverlayFileSystem : public FileSystem {
 public:
  OverlayFileSystem(FileSystem& system, PlanLog* plan);

  // The running uninstaller's file: in use, it cannot be deleted until the program has ended.
  void SetRunningProgram(const std::string& path);

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
  bool SameFileName(std::u16string_view a, std::u16string_view b) override;
  std::vector<std::u16string> WholeFolders() override;

 private:
  struct Node {
    std::u16string path;  // as opened, separators made single and backslashes
    std::uint32_t access = 0;
  };

  std::u16string Wide(const std::string& text);
  std::u16string PathOf(const std::string& path);
  bool IsGone(const std::u16string& path) const;
  bool IsRunningProgram(const std::u16string& path) const;
  void Remove(const std::u16string& path, bool directory);
  bool HoldsNothing(NodeHandle directory);
  bool HoldsNothingAt(const std::string& path);  // by a search
  void Track(NodeHandle node, const std::u16string& path, std::uint32_t access);

  FileSystem& system_;
  PlanLog* plan_;
  std::u16string running_program_;
  // By their folded paths: what the plan removed, and the attributes it set.
  std::set<std::u16string> gone_;
  std::map<std::u16string, std::uint32_t> attributes_;
  std::map<SearchHandle, std::u16string> searches_;  // the directory searched
  std::map<NodeHandle, Node> nodes_;
  // By folded path: the open handles, and what is marked for deletion and goes with its last
  // handle; of those, the directories.
  PendingDeletions<std::u16string> pending_;
  std::set<std::u16string> pending_directories_;
  std::set<FileHandle> scratch_files_;  // created by the plan, kept nowhere
  std::uintptr_t next_scratch_file_ = 0x7FFF0001;
};

}  // namespace uninstall

#endif  // UNINSTALL_PLAN_OVERLAY_FILE_SYSTEM_H_
