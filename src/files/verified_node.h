// Files and directories opened one name at a time, each relative to the handle of the directory
// above it, and checked before anything is done through them: a directory that somebody swaps
// for a link while the removal runs is never passed through, since the handles, not the names,
// say where the removal is.
#ifndef UNINSTALL_FILES_VERIFIED_NODE_H_
#define UNINSTALL_FILES_VERIFIED_NODE_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "names/value_names.h"
#include "platform/file_system.h"

namespace uninstall {

// True when the final path `path` is that of the entry `name` directly inside the directory
// whose final path is `directory`. Names compare as the file system compares them (`names`), so
// that a differently cased name still matches; a name with a tilde may be a short name, whose final
// path holds the long one, so that only the directory counts for it. (Checking the name as well
// keeps out a link to a sibling, which the directory alone would let pass.)
bool LiesDirectlyIn(FileNames& names, std::u16string_view path, std::u16string_view directory,
                    std::u16string_view name);

// Whether a deletion the system refuses (read-only, say) clears the attributes and asks again.
enum class Force : bool { kNo, kYes };

// Whether the base's own name is checked like the names below it.
enum class BaseName : bool { kTrusted, kChecked };

// One open handle, with what was found out about it when it was opened. Closed by Close or at
// destruction.
class VerifiedNode {
 public:
  VerifiedNode() = default;
  VerifiedNode(FileSystem& fs, NodeHandle handle, std::uint32_t attributes,
               std::u16string final_path);
  ~VerifiedNode() { Close(); }
  VerifiedNode(VerifiedNode&& other) noexcept;
  VerifiedNode& operator=(VerifiedNode&& other) noexcept;
  VerifiedNode(const VerifiedNode&) = delete;
  VerifiedNode& operator=(const VerifiedNode&) = delete;

  bool valid() const { return handle_.valid(); }
  NodeHandle handle() const { return handle_; }
  // A reparse point (a junction, a directory or file link) held as itself: never looked into.
  bool is_link() const { return (attributes_ & kAttributeReparsePoint) != 0; }
  bool is_directory() const { return !is_link() && (attributes_ & kAttributeDirectory) != 0; }
  std::uint32_t attributes() const { return attributes_; }
  const std::u16string& final_path() const { return final_path_; }

  // Hands over the final path, which only the check of names opened below the node needs (a walk
  // down a deep tree keeps the deepest directory's alone); RestoreFinalPath puts it back, as the
  // system gave it or as the final path of something below begins with it.
  std::u16string TakeFinalPath() { return std::move(final_path_); }
  void RestoreFinalPath(std::u16string final_path) { final_path_ = std::move(final_path); }

  // Lets the node go when its handle closes; where the system refuses that, `force` clears
  // read-only and the other attributes through the same handle and asks once more. False when
  // the system refuses (read-only without force, a directory that is not empty, no right to
  // delete).
  [[nodiscard]] bool MarkForDeletion(Force force);
  void Close();

 private:
  FileSystem* fs_ = nullptr;
  NodeHandle handle_ = {};
  std::uint32_t attributes_ = 0;
  std::u16string final_path_;
};

// Marks `node` for deletion as MarkForDeletion does and closes it: the deletion takes effect
// here, where the node is given up (once no other program holds it open).
[[nodiscard]] bool DeleteNow(VerifiedNode node, Force force);

// Opens `name` in the directory `parent` with `access` (kNodeDelete, kNodeList; deletion is
// given up when the system refuses it: no right, or another handle that does not share it). The
// node is invalid when it cannot be opened, when its attributes or final path cannot be read, or
// when its final path is not that name in its parent, as that of a link opened as what it points to
// is not. *elsewhere, when given, tells whether it was refused for that last reason.
VerifiedNode OpenVerified(FileSystem& fs, const VerifiedNode& parent, const std::u16string& name,
                          std::uint32_t access, bool* elsewhere = nullptr);

// True when `parent` still lists the directory `directory` under `name`, and as no link: its
// name still leads to it.
bool IsStillNamed(FileSystem& fs, const VerifiedNode& directory, const VerifiedNode& parent,
                  const std::u16string& name);

// A base directory of the removal, by its absolute path. With BaseName::kChecked, only its parent
// is opened by path, and its own name relative to that like any name below it, so that a base
// that is a link shows as one (the data directory, which users can often create). Without it,
// the path is opened as it leads (the uninstaller's own directory, where the running program
// lies). Invalid when it cannot be opened. With kChecked, *parent and *own_name, when
// given, receive the parent and the name the base was opened by.
VerifiedNode OpenBase(FileSystem& fs, const std::string& path, BaseName name,
                      VerifiedNode* parent = nullptr, std::u16string* own_name = nullptr);

// The directory at `path`, opened as the path leads (links and drive letters followed) to be
// kept for a whole run: what it is gets decided on this handle, and the removals below it start
// from it (see Reopened), so that a link retargeted meanwhile changes neither. Opened without the
// right to delete, which would keep programs from using it as their working directory. Invalid
// when it cannot be opened.
VerifiedNode OpenKeptDirectory(FileSystem& fs, const std::string& path);

// The directory `directory` opened once more, through its own handle (never by a name), with
// `access`; deletion is given up where the system refuses it, as in OpenVerified.
VerifiedNode Reopened(FileSystem& fs, const VerifiedNode& directory, std::uint32_t access);

// True when the directory, listed through its handle, holds no entry but "." and "..". False
// when it cannot be listed.
bool HoldsNothing(FileSystem& fs, const VerifiedNode& directory);

// Calls `visit` for every entry of the directory but "." and "..", listed through its handle,
// until it returns false; false when it stopped the walk.
template <typename Visit>
bool ForEachListed(FileSystem& fs, const VerifiedNode& directory, Visit visit) {
  std::vector<ListedName> entries;
  for (ListFrom from = ListFrom::kStart; fs.ListNode(directory.handle(), from, &entries);
       from = ListFrom::kNext) {
    for (const ListedName& entry : entries) {
      if (entry.name != u"." && entry.name != u".." && !visit(entry)) return false;
    }
  }
  return true;
}

}  // namespace uninstall

#endif  // UNINSTALL_FILES_VERIFIED_NODE_H_
