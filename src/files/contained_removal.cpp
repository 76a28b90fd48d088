#include "files/contained_removal.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "files/directory_listing.h"
#include "files/path_probe.h"

namespace uninstall {
namespace {

// A joined path over the limit could be cut to another one by whatever reads it: it names
// nothing.
bool TooLong(const std::string& base, const std::string& relative) {
  return base.size() + relative.size() > kMaxPathBytes;
}

}  // namespace

ContainedRemoval::ContainedRemoval(FileSystem& fs, std::string base, BaseName name)
    : fs_(fs), base_path_(std::move(base)) {
  if (base_path_.size() <= kMaxPathBytes) {
    base_ = OpenBase(fs_, base_path_, name, &base_parent_, &base_name_);
  }
}

ContainedRemoval::ContainedRemoval(FileSystem& fs, std::string base, const VerifiedNode& kept)
    : fs_(fs), base_path_(std::move(base)), base_(Reopened(fs, kept, kNodeDelete | kNodeList)) {}

const VerifiedNode& ContainedRemoval::DirectoryAt(std::size_t depth) const {
  return depth == 0 ? base_ : open_directories_[depth - 1];
}

void ContainedRemoval::CheckInPlace(const VerifiedNode& directory, const VerifiedNode& parent,
                                    const std::u16string& name) {
  // The uninstaller's own directory, opened by its path, holds the running program and cannot
  // be swapped.
  if (!parent.valid()) return;
  if (!IsStillNamed(fs_, directory, parent, name)) disturbed_ = true;
}

VerifiedNode ContainedRemoval::OpenBelow(std::size_t depth, const std::u16string& name,
                                         std::uint32_t access) {
  bool elsewhere = false;
  VerifiedNode node = OpenVerified(fs_, DirectoryAt(depth), name, access, &elsewhere);
  if (elsewhere) {
    if (depth == 0) {
      CheckInPlace(base_, base_parent_, base_name_);
    } else {
      CheckInPlace(DirectoryAt(depth), DirectoryAt(depth - 1), open_names_[depth - 1]);
    }
  }
  return node;
}

const VerifiedNode* ContainedRemoval::ParentOf(const std::vector<std::u16string>& names) {
  const std::size_t depth = names.size() - 1;
  std::size_t kept = 0;
  while (kept < open_directories_.size() && kept < depth && open_names_[kept] == names[kept]) {
    ++kept;
  }
  open_directories_.resize(kept);
  open_names_.resize(kept);
  while (open_directories_.size() < depth) {
    VerifiedNode directory = OpenBelow(kept, names[kept], kNodeList);
    if (disturbed_ || !directory.is_directory()) return nullptr;
    open_names_.push_back(names[kept++]);
    open_directories_.push_back(std::move(directory));
  }
  return &DirectoryAt(depth);
}

bool ContainedRemoval::RemoveFile(const std::string& relative, Force force) {
  if (disturbed_ || TooLong(base_path_, relative)) return false;
  const std::optional<std::vector<std::u16string>> names = NamesOf(fs_, relative);
  if (!names || names->empty()) return false;
  if (ParentOf(*names) == nullptr) return false;
  VerifiedNode file =
      OpenBelow(open_directories_.size(), names->back(), kNodeDelete | kNodeFileOnly);
  // Removed as DeleteFile removes: another program's handle that lets it go keeps the name only
  // until that handle closes too.
  return !disturbed_ && DeleteNow(std::move(file), force);
}

bool ContainedRemoval::RemoveIfEmpty(const std::string& path, VerifiedNode& node,
                                     Progress& progress) {
  if (node.is_link()) {
    // Never looked into: what it points to lies elsewhere.
    progress.Show(path + kAllFiles);
    // Handled either way: a link that stays keeps its parent, which then stays too.
    static_cast<void>(DeleteNow(std::move(node), Force::kNo));
    return true;
  }
  if (!node.is_directory()) return false;
  // The system removes a directory only while it is empty, so the removal is tried first and
  // nothing that appears in it meanwhile is lost. One that stays (read-only, in use) still
  // counts when it holds nothing.
  if (!node.MarkForDeletion(Force::kNo) && !HoldsNothing(fs_, node)) return false;
  node.Close();
  progress.Show(path + kAllFiles);
  return true;
}

bool ContainedRemoval::RemoveEmptyDirectory(const std::string& relative, Progress& progress) {
  return RemoveEmptyDirectory(relative, "", progress);
}

bool ContainedRemoval::RemoveEmptyDirectory(const std::string& relative, const std::string& shown,
                                            Progress& progress) {
  if (disturbed_ || TooLong(base_path_, relative)) return false;
  const std::optional<std::vector<std::u16string>> names = NamesOf(fs_, relative);
  if (!names) return false;
  const std::string path = shown.empty() ? base_path_ + relative : shown;
  if (names->empty()) return RemoveIfEmpty(path, base_, progress);
  if (ParentOf(*names) == nullptr) return false;
  VerifiedNode directory =
      OpenBelow(open_directories_.size(), names->back(), kNodeDelete | kNodeList);
  return RemoveIfEmpty(path, directory, progress);
}

void ContainedRemoval::Spare(const std::string& relative) {
  std::optional<std::vector<std::u16string>> names = NamesOf(fs_, relative);
  if (names && !names->empty()) spared_.push_back(std::move(*names));
}

bool ContainedRemoval::Holds(const std::string& directory, const std::string& file) {
  const std::optional<std::vector<std::u16string>> outer = NamesOf(fs_, directory);
  const std::optional<std::vector<std::u16string>> inner = NamesOf(fs_, file);
  if (!outer || !inner || outer->size() >= inner->size()) return false;
  return std::equal(
      outer->begin(), outer->end(), inner->begin(),
      [&](const std::u16string& a, const std::u16string& b) { return fs_.SameFileName(a, b); });
}

bool ContainedRemoval::HoldsDirectly(const std::string& file) {
  const std::optional<std::vector<std::u16string>> names = NamesOf(fs_, file);
  return names && names->size() == 1;
}

bool ContainedRemoval::IsSpared(const std::vector<std::u16string>& path) const {
  return std::any_of(spared_.begin(), spared_.end(), [&](const std::vector<std::u16string>& names) {
    return names.size() == path.size() &&
           std::equal(names.begin(), names.end(), path.begin(),
                      [&](const std::u16string& a, const std::u16string& b) {
                        return fs_.SameFileName(a, b);
                      });
  });
}

void ContainedRemoval::RemoveContents(const VerifiedNode& directory, const VerifiedNode& parent,
                                      const std::u16string& name, std::vector<std::u16string>* path,
                                      Progress& progress) {
  // One level per directory being emptied, the deepest last, each listed through its handle a
  // batch at a time: a tree of any depth is walked without a call per level. Only the deepest
  // level holds its final path (names opened below it are checked against it); a level above
  // gets its own back, when it opens a name again, from the final path of what it held, which
  // begins with it.
  struct Level {
    VerifiedNode owned;  // none for the first level: that directory is the caller's
    std::u16string name;
    std::vector<ListedName> entries;
    std::size_t next = 0;
    ListFrom from = ListFrom::kStart;
    std::size_t final_path_length = 0;  // while its final path is handed on
    std::u16string below;               // the final path of something below it, meanwhile
  };
  std::vector<Level> levels;
  levels.push_back(Level{VerifiedNode(), name, {}, 0, ListFrom::kStart, 0, {}});
  auto directory_at = [&](std::size_t depth) -> const VerifiedNode& {
    return depth == 0 ? directory : levels[depth].owned;
  };
  while (!levels.empty() && !disturbed_) {
    const std::size_t depth = levels.size() - 1;
    Level& level = levels.back();
    if (level.next == level.entries.size()) {
      if (fs_.ListNode(directory_at(depth).handle(), level.from, &level.entries)) {
        level.from = ListFrom::kNext;
        level.next = 0;
        progress.Expect(level.entries.size());
        continue;
      }
      if (depth == 0) break;
      // Emptied, as far as it goes: a directory, or what is left of one, goes when its handle
      // closes once nothing is in it.
      VerifiedNode emptied = std::move(level.owned);
      std::u16string below = emptied.TakeFinalPath();
      if (below.empty()) below = std::move(level.below);
      levels.pop_back();
      path->pop_back();
      levels.back().below = std::move(below);
      // One that stays keeps its parent, which then stays too: nothing more to do about it.
      if (!disturbed_) static_cast<void>(DeleteNow(std::move(emptied), Force::kYes));
      emptied.Close();
      progress.Beat();
      continue;
    }
    const ListedName entry = level.entries[level.next++];
    progress.Done();
    if (entry.name == u"." || entry.name == u"..") continue;
    path->push_back(entry.name);
    if (IsSpared(*path)) {
      path->pop_back();
      continue;
    }
    if (depth > 0 && level.owned.final_path().empty()) {
      level.owned.RestoreFinalPath(level.below.substr(0, level.final_path_length));
      level.below.clear();
    }
    const bool listed_directory = (entry.attributes & kAttributeDirectory) != 0;
    bool elsewhere = false;
    VerifiedNode child =
        OpenVerified(fs_, directory_at(depth), entry.name,
                     kNodeDelete | (listed_directory ? kNodeList : kNodeFileOnly), &elsewhere);
    if (elsewhere) {
      CheckInPlace(directory_at(depth), depth == 0 ? parent : directory_at(depth - 1), level.name);
    }
    if (disturbed_) break;
    if (child.is_directory()) {
      if (depth > 0) level.final_path_length = level.owned.TakeFinalPath().size();
      levels.push_back(Level{std::move(child), entry.name, {}, 0, ListFrom::kStart, 0, {}});
      continue;
    }
    // A file, or a link as itself; one that stays keeps its directory, which then stays too.
    static_cast<void>(DeleteNow(std::move(child), Force::kYes));
    path->pop_back();
    progress.Beat();
  }
}

void ContainedRemoval::RemoveTree(const std::string& relative, Progress& progress) {
  if (disturbed_ || TooLong(base_path_, relative)) return;
  const std::optional<std::vector<std::u16string>> names = NamesOf(fs_, relative);
  if (!names) return;
  std::vector<std::u16string> path = *names;
  if (names->empty()) {
    // The directories kept open for earlier values would keep what goes below them waiting for
    // their handles, and so their parents from being empty.
    open_directories_.clear();
    open_names_.clear();
    if (base_.is_directory()) RemoveContents(base_, base_parent_, base_name_, &path, progress);
    // Goes when its handle closes, at the end, once nothing is left in it.
    if (!disturbed_ && (base_.is_directory() || base_.is_link())) {
      static_cast<void>(
          base_.MarkForDeletion(Force::kYes));  // what stays is looked for by the caller
    }
    return;
  }
  if (ParentOf(*names) == nullptr) return;
  const VerifiedNode& parent = DirectoryAt(open_directories_.size());
  VerifiedNode tree = OpenBelow(open_directories_.size(), names->back(), kNodeDelete | kNodeList);
  if (tree.is_directory()) RemoveContents(tree, parent, names->back(), &path, progress);
  if (!disturbed_ && (tree.is_directory() || tree.is_link())) {
    static_cast<void>(
        DeleteNow(std::move(tree), Force::kYes));  // what stays is looked for by the caller
  }
}

void ContainedRemoval::SweepFiles(Progress& progress) {
  if (disturbed_ || !base_.is_directory()) return;
  ForEachListed(fs_, base_, [&](const ListedName& entry) {
    if ((entry.attributes & kAttributeDirectory) == 0 && !IsSpared({entry.name})) {
      VerifiedNode file = OpenBelow(0, entry.name, kNodeDelete | kNodeFileOnly);
      // One that stays keeps the directory, which then stays too.
      if (!disturbed_) static_cast<void>(DeleteNow(std::move(file), Force::kYes));
    }
    progress.Beat();
    return !disturbed_;
  });
  // Goes when its handle closes, at the end of the removal; one that stays is looked for then.
  if (!disturbed_) static_cast<void>(base_.MarkForDeletion(Force::kYes));
}

}  // namespace uninstall
