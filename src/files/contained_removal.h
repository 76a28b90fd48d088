// Removals of paths named relative to a base directory (the uninstaller's directory or the data
// directory) that never reach outside it: not through a ".." or a drive, and not through a
// junction or link below the base, not even one that somebody puts in the place of a directory
// while the removal runs. Every name is opened relative to the handle of the directory above it
// and checked to lie directly in it; deletion goes through the handle of what was checked.
//
// Once a directory below the base is seen to be swapped while the removal runs (its name no
// longer leads to it), nothing more below the base is removed: somebody is at work there, and
// where the system deletes by name (Wine does, when the last handle closes) a swap at that very
// moment could still redirect a deletion.
#ifndef UNINSTALL_FILES_CONTAINED_REMOVAL_H_
#define UNINSTALL_FILES_CONTAINED_REMOVAL_H_

#include <string>
#include <vector>

#include "common/progress.h"
#include "files/verified_node.h"
#include "platform/file_system.h"

namespace uninstall {

class ContainedRemoval {
 public:
  // Opens `base` once. With BaseName::kChecked the base's own name is checked like every name
  // below it (the data directory, which users can often create themselves): a base that is a
  // link is never looked into, and only an empty value can remove the link itself.
  ContainedRemoval(FileSystem& fs, std::string base, BaseName name);
  // The base `kept`, opened earlier for the whole run (see OpenKeptDirectory), opened once more
  // through its own handle; `base` is its path, for the status texts.
  ContainedRemoval(FileSystem& fs, std::string base, const VerifiedNode& kept);
  ContainedRemoval(const ContainedRemoval&) = delete;
  ContainedRemoval& operator=(const ContainedRemoval&) = delete;

  const std::string& base() const { return base_path_; }
  // True once a directory below the base was seen swapped: nothing more is removed.
  bool disturbed() const { return disturbed_; }
  // True when the base is an existing directory and no link: only then is anything below it
  // removed.
  bool IsDirectory() const { return base_.is_directory(); }

  // Deletes the file base + `relative`; with `force` read-only does not keep it. A directory is
  // never deleted here, a link only as itself. True when the system lets it go (as DeleteFile
  // says, also when another program's handle keeps its name until that closes).
  bool RemoveFile(const std::string& relative, Force force = Force::kNo);

  // Removes the directory base + `relative` when it is empty, or only the link when it is one,
  // and shows the status text "  <path>*.*" for it (`shown` in place of base + `relative` when
  // given). True when the link or the empty directory was removed, or the directory holds
  // nothing but could not be removed.
  bool RemoveEmptyDirectory(const std::string& relative, Progress& progress);
  bool RemoveEmptyDirectory(const std::string& relative, const std::string& shown,
                            Progress& progress);

  // Removes the directory base + `relative` with everything in it, clearing attributes first; a
  // link in it, or the directory itself when it is one, loses only the link. An empty value
  // names the base itself.
  void RemoveTree(const std::string& relative, Progress& progress);

  // Deletes every file directly in the base, clearing attributes first, without entering any
  // directory; then tries the base itself, which goes only when nothing is left in it.
  void SweepFiles(Progress& progress);

  // From now on RemoveTree and SweepFiles leave the file base + `relative` alone (it goes later,
  // by RemoveFile), and so the directories that hold it.
  void Spare(const std::string& relative);
  // True when the directory `directory` below the base holds `file` below the base, at any
  // depth (an empty `directory` is the base itself).
  bool Holds(const std::string& directory, const std::string& file);
  // True when `file` lies directly in the base, where the sweep takes it.
  bool HoldsDirectly(const std::string& file);

 private:
  // The directory that holds the last of `names`, opened name by name from the base; kept open
  // for the next value, whose directories are mostly the same. Null when a name on the way is
  // no directory (a link, a file, nothing).
  const VerifiedNode* ParentOf(const std::vector<std::u16string>& names);
  // Opens `name` below the directory at `depth` (0: the base, k: the k-th open directory); a node
  // found elsewhere than its name says makes that directory be checked for a swap.
  VerifiedNode OpenBelow(std::size_t depth, const std::u16string& name, std::uint32_t access);
  const VerifiedNode& DirectoryAt(std::size_t depth) const;
  // After a node below `directory` was found elsewhere: a link in it, or `directory` swapped.
  void CheckInPlace(const VerifiedNode& directory, const VerifiedNode& parent,
                    const std::u16string& name);
  bool RemoveIfEmpty(const std::string& path, VerifiedNode& node, Progress& progress);
  // `path` holds the names from the base down to `directory`.
  void RemoveContents(const VerifiedNode& directory, const VerifiedNode& parent,
                      const std::u16string& name, std::vector<std::u16string>* path,
                      Progress& progress);
  bool IsSpared(const std::vector<std::u16string>& path) const;

  FileSystem& fs_;
  std::string base_path_;
  VerifiedNode base_;
  // What the base was opened by, when its own name was checked.
  VerifiedNode base_parent_;
  std::u16string base_name_;
  bool disturbed_ = false;
  // The directories of the last value below the base, and their names.
  std::vector<std::u16string> open_names_;
  std::vector<VerifiedNode> open_directories_;
  std::vector<std::vector<std::u16string>> spared_;
};

}  // namespace uninstall

#endif  // UNINSTALL_FILES_CONTAINED_REMOVAL_H_
