// What the system answers to the removal's calls on an opened file or directory, written once
// for the in-memory file systems: the tests' and a plan's.
#ifndef UNINSTALL_MODEL_NODE_RULES_H_
#define UNINSTALL_MODEL_NODE_RULES_H_

#include <cstdint>
#include <map>
#include <set>

namespace uninstall {

// Whether a node opened with `access` can be marked for deletion (FileDispositionInfo): only one
// opened for deletion, never a read-only one, a directory only while it holds nothing. A link
// holds nothing of its own: it goes as itself, whatever it leads to.
bool MayMarkForDeletion(std::uint32_t access, std::uint32_t attributes, bool holds_nothing);

// Whether DeleteFile deletes a node by its path: a file (or a link to one), not read-only, not
// in use.
bool MayEraseFile(std::uint32_t attributes, bool in_use);
// Whether RemoveDirectory removes a node by its path: a directory, not read-only, holding
// nothing; a link, whatever it leads to.
bool MayEraseDirectory(std::uint32_t attributes, bool holds_nothing);

// The attributes of a node after they were set to `requested`, by its path or its handle: its
// directory and reparse-point bits stay as they are; "normal" counts only alone, and a file left
// with no attribute reads as normal.
std::uint32_t AttributesAfterSetting(std::uint32_t now, std::uint32_t requested);

// Deletions that wait for the last handle on what they delete, the node named by a `Key`.
template <typename Key>
class PendingDeletions {
 public:
  void Opened(const Key& key) { ++handles_[key]; }
  void Mark(const Key& key) { marked_.insert(key); }
  // An opening of its name is refused meanwhile, with "access denied".
  bool IsPending(const Key& key) const { return marked_.count(key) != 0; }
  bool HasHandles(const Key& key) const { return handles_.count(key) != 0; }
  // One of its handles closed: true when that was the last of a marked node, which goes now.
  bool Closed(const Key& key) {
    const auto open = handles_.find(key);
    if (open == handles_.end() || --open->second > 0) return false;
    handles_.erase(open);
    return marked_.erase(key) != 0;
  }

 private:
  std::map<Key, int> handles_;  // only keys with open handles
  std::set<Key> marked_;
};

}  // namespace uninstall

#endif  // UNINSTALL_MODEL_NODE_RULES_H_
