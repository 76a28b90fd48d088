#include "plan/overlay_file_system.h"

#include <algorithm>

#include "common/paths.h"
#include "names/name_case.h"
#include "names/value_names.h"

namespace uninstall {
namespace {

// Backslashes only, one between names, none at the end; the two of a network path stay.
std::u16string Normalized(std::u16string_view path) {
  std::u16string normal;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (!IsPathSeparator(path[i])) {
      normal += path[i];
    } else if (i <= 1 || normal.empty() || normal.back() != u'\\') {
      normal += u'\\';
    }
  }
  while (normal.size() > 2 && normal.back() == u'\\') normal.pop_back();
  return normal;
}

// A path as the key of what the plan remembers about it: letter case folded by the file
// system's table, so that two spellings of one name meet.
std::u16string Folded(std::u16string_view path) { return UpcasedName(path); }

std::u16string Joined(const std::u16string& directory, std::u16string_view name) {
  std::u16string path = directory;
  if (!path.empty() && path.back() != u'\\') path += u'\\';
  return path.append(name);
}

bool IsDot(std::u16string_view name) { return name == u"." || name == u".."; }

}  // namespace

OverlayFileSystem::OverlayFileSystem(FileSystem& system, PlanLog* plan)
    : system_(system), plan_(plan) {}

void OverlayFileSystem::SetRunningProgram(const std::string& path) {
  running_program_ = path.empty() ? std::u16string() : Folded(PathOf(path));
}

std::u16string OverlayFileSystem::Wide(const std::string& text) {
  std::u16string wide;
  // Bytes that are no text of the code page stand for themselves.
  if (!system_.WidenName(text, &wide)) wide.assign(text.begin(), text.end());
  return wide;
}

std::u16string OverlayFileSystem::PathOf(const std::string& path) { return Normalized(Wide(path)); }

bool OverlayFileSystem::IsGone(const std::u16string& path) const {
  if (gone_.empty()) return false;
  const std::u16string folded = Folded(Normalized(path));
  for (std::size_t end = folded.find(u'\\'); end != std::u16string::npos;
       end = folded.find(u'\\', end + 1)) {
    if (gone_.count(folded.substr(0, end)) != 0) return true;
  }
  return gone_.count(folded) != 0;
}

bool OverlayFileSystem::IsRunningProgram(const std::u16string& path) const {
  return !running_program_.empty() && Folded(path) == running_program_;
}

void OverlayFileSystem::Remove(const std::u16string& path, bool directory) {
  gone_.insert(Folded(path));
  plan_->Add(directory ? "remove directory" : "remove file", path);
}

SearchHandle OverlayFileSystem::FindFirst(const std::string& pattern, FoundEntry* entry,
                                          std::uint32_t* error) {
  const SearchHandle search = system_.FindFirst(pattern, entry, error);
  if (!search.valid()) return {};
  searches_[search] = PathOf(DirectoryPart(pattern));
  if (!IsGone(Joined(searches_[search], Wide(entry->name))) || FindNext(search, entry)) {
    return search;
  }
  CloseSearch(search);
  *error = kErrorFileNotFound;
  return {};
}

bool OverlayFileSystem::FindNext(SearchHandle search, FoundEntry* entry) {
  const auto it = searches_.find(search);
  while (system_.FindNext(search, entry)) {
    if (it == searches_.end() || !IsGone(Joined(it->second, Wide(entry->name)))) return true;
  }
  return false;
}

void OverlayFileSystem::CloseSearch(SearchHandle search) {
  searches_.erase(search);
  system_.CloseSearch(search);
}

std::uint32_t OverlayFileSystem::DriveTypeOf(const std::string& root) {
  return system_.DriveTypeOf(root);
}

std::uint32_t OverlayFileSystem::AttributesOf(const std::string& path) {
  const std::u16string wide = PathOf(path);
  if (IsGone(wide)) return kInvalidAttributes;
  const auto set = attributes_.find(Folded(wide));
  return set != attributes_.end() ? set->second : system_.AttributesOf(path);
}

bool OverlayFileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
  const std::uint32_t now = AttributesOf(path);
  if (now == kInvalidAttributes) return false;
  attributes_[Folded(PathOf(path))] = AttributesAfterSetting(now, attributes);
  return true;
}

bool OverlayFileSystem::EraseFile(const std::string& path) {
  const std::uint32_t attributes = AttributesOf(path);
  if (attributes == kInvalidAttributes ||
      !MayEraseFile(attributes, IsRunningProgram(PathOf(path)))) {
    return false;
  }
  Remove(PathOf(path), false);
  return true;
}

bool OverlayFileSystem::HoldsNothingAt(const std::string& path) {
  FoundEntry entry;
  std::uint32_t error = 0;
  const SearchHandle search = FindFirst(WithTrailingBackslash(path) + "*", &entry, &error);
  bool empty = true;
  if (search.valid()) {
    do {
      if (entry.name != "." && entry.name != "..") empty = false;
    } while (empty && FindNext(search, &entry));
    CloseSearch(search);
  }
  return empty;
}

bool OverlayFileSystem::EraseDirectory(const std::string& path) {
  const std::uint32_t attributes = AttributesOf(path);
  if (attributes == kInvalidAttributes || !MayEraseDirectory(attributes, HoldsNothingAt(path))) {
    return false;
  }
  Remove(PathOf(path), true);
  return true;
}

FileHandle OverlayFileSystem::OpenFile(const std::string& path, std::uint32_t access,
                                       std::uint32_t share, std::uint32_t disposition,
                                       std::uint32_t attributes, std::uint32_t* error) {
  if ((access & kGenericWrite) != 0 || disposition != kOpenExisting) {
    *error = kErrorAccessDenied;
    return {};
  }
  if (IsGone(PathOf(path))) {
    *error = kErrorFileNotFound;
    return {};
  }
  return system_.OpenFile(path, access, share, disposition, attributes, error);
}

FileHandle OverlayFileSystem::CreateProtectedFile(const std::string&, const std::string&,
                                                  std::uint32_t* error) {
  *error = 0;
  const FileHandle scratch(next_scratch_file_++);
  scratch_files_.insert(scratch);
  return scratch;
}

std::int64_t OverlayFileSystem::SizeOfFile(FileHandle file) {
  return scratch_files_.count(file) != 0 ? 0 : system_.SizeOfFile(file);
}

bool OverlayFileSystem::ReadBytes(FileHandle file, void* buffer, std::uint32_t count,
                                  std::uint32_t* read) {
  if (scratch_files_.count(file) == 0) return system_.ReadBytes(file, buffer, count, read);
  *read = 0;
  return true;
}

bool OverlayFileSystem::WriteBytes(FileHandle file, const void*, std::uint32_t count,
                                   std::uint32_t* written) {
  if (scratch_files_.count(file) == 0) return false;
  *written = count;
  return true;
}

bool OverlayFileSystem::MovePointer(FileHandle file, std::int64_t distance, MoveFrom from) {
  return scratch_files_.count(file) != 0 || system_.MovePointer(file, distance, from);
}

void OverlayFileSystem::CloseFile(FileHandle file) {
  if (scratch_files_.erase(file) == 0) system_.CloseFile(file);
}

NodeHandle OverlayFileSystem::OpenDirectoryPath(const std::u16string& path, std::uint32_t access,
                                                std::uint32_t* error) {
  const std::u16string wide = Normalized(path);
  if (IsGone(wide)) {
    *error = kErrorPathNotFound;
    return {};
  }
  if (pending_.IsPending(Folded(wide))) {
    *error = kErrorAccessDenied;
    return {};
  }
  const NodeHandle node = system_.OpenDirectoryPath(path, access & ~kNodeDelete, error);
  if (node.valid()) Track(node, wide, access);
  return node;
}

NodeHandle OverlayFileSystem::OpenNode(NodeHandle parent, const std::u16string& name,
                                       std::uint32_t access, std::uint32_t* error) {
  const auto above = nodes_.find(parent);
  if (above == nodes_.end()) {
    *error = kErrorPathNotFound;
    return {};
  }
  const std::u16string path = Joined(above->second.path, name);
  if (IsGone(path)) {
    *error = kErrorFileNotFound;
    return {};
  }
  // As the system answers for a name whose deletion waits for its last handle.
  if (pending_.IsPending(Folded(Normalized(path)))) {
    *error = kErrorAccessDenied;
    return {};
  }
  if ((access & kNodeDelete) != 0 && IsRunningProgram(path)) {
    *error = kErrorSharingViolation;
    return {};
  }
  const NodeHandle node = system_.OpenNode(parent, name, access & ~kNodeDelete, error);
  if (node.valid()) Track(node, Normalized(path), access);
  return node;
}

bool OverlayFileSystem::NodeAttributes(NodeHandle node, std::uint32_t* attributes) {
  if (!system_.NodeAttributes(node, attributes)) return false;
  const auto opened = nodes_.find(node);
  if (opened != nodes_.end()) {
    const auto set = attributes_.find(Folded(opened->second.path));
    if (set != attributes_.end()) *attributes = set->second;
  }
  return true;
}

bool OverlayFileSystem::FinalPath(NodeHandle node, std::u16string* path) {
  return system_.FinalPath(node, path);
}

bool OverlayFileSystem::NormalizedPath(NodeHandle node, std::u16string* path) {
  return system_.NormalizedPath(node, path);
}

bool OverlayFileSystem::NodeId(NodeHandle node, std::uint64_t* id) {
  return system_.NodeId(node, id);
}

bool OverlayFileSystem::NodeIdentity(NodeHandle node, std::uint32_t* volume, std::uint64_t* id) {
  return system_.NodeIdentity(node, volume, id);
}

bool OverlayFileSystem::FindListedEntry(NodeHandle directory, const std::u16string& name,
                                        ListedName* entry) {
  const auto opened = nodes_.find(directory);
  if (opened == nodes_.end() || IsGone(Joined(opened->second.path, name))) return false;
  return system_.FindListedEntry(directory, name, entry);
}

bool OverlayFileSystem::SetNodeAttributes(NodeHandle node, std::uint32_t attributes) {
  const auto opened = nodes_.find(node);
  std::uint32_t now = 0;
  if (opened == nodes_.end() || (opened->second.access & kNodeDelete) == 0 ||
      !NodeAttributes(node, &now)) {
    return false;
  }
  attributes_[Folded(opened->second.path)] = AttributesAfterSetting(now, attributes);
  return true;
}

bool OverlayFileSystem::HoldsNothing(NodeHandle directory) {
  std::vector<ListedName> entries;
  if (!ListNode(directory, ListFrom::kStart, &entries)) return false;
  do {
    for (const ListedName& entry : entries) {
      if (!IsDot(entry.name)) return false;
    }
  } while (ListNode(directory, ListFrom::kNext, &entries));
  return true;
}

bool OverlayFileSystem::DeleteOnClose(NodeHandle node) {
  const auto opened = nodes_.find(node);
  std::uint32_t attributes = 0;
  if (opened == nodes_.end() || !NodeAttributes(node, &attributes)) return false;
  // Only what it holds of its own keeps a directory: not what a link leads to.
  const bool listed =
      (attributes & kAttributeDirectory) != 0 && (attributes & kAttributeReparsePoint) == 0;
  if (!MayMarkForDeletion(opened->second.access, attributes, !listed || HoldsNothing(node))) {
    return false;
  }
  // It goes when its last handle closes; until then it is still there, and keeps its parent
  // from being empty.
  const std::u16string folded = Folded(opened->second.path);
  pending_.Mark(folded);
  if ((attributes & kAttributeDirectory) != 0) pending_directories_.insert(folded);
  return true;
}

bool OverlayFileSystem::ListNode(NodeHandle directory, ListFrom from,
                                 std::vector<ListedName>* entries) {
  const auto opened = nodes_.find(directory);
  if (opened == nodes_.end()) return false;
  // A part that held only what the plan removed reads as if it held nothing: the next part is
  // read in its place.
  while (system_.ListNode(directory, from, entries)) {
    from = ListFrom::kNext;
    std::erase_if(*entries, [&](const ListedName& entry) {
      return !IsDot(entry.name) && IsGone(Joined(opened->second.path, entry.name));
    });
    if (!entries->empty()) return true;
  }
  return false;
}

void OverlayFileSystem::Track(NodeHandle node, const std::u16string& path, std::uint32_t access) {
  nodes_[node] = Node{path, access};
  pending_.Opened(Folded(path));
}

void OverlayFileSystem::CloseNode(NodeHandle node) {
  const auto opened = nodes_.find(node);
  if (opened != nodes_.end()) {
    const std::u16string folded = Folded(opened->second.path);
    if (pending_.Closed(folded)) {
      Remove(opened->second.path, pending_directories_.erase(folded) != 0);
    }
    nodes_.erase(opened);
  }
  system_.CloseNode(node);
}

bool OverlayFileSystem::WidenName(const std::string& text, std::u16string* wide) {
  return system_.WidenName(text, wide);
}

bool OverlayFileSystem::SameFileName(std::u16string_view a, std::u16string_view b) {
  return system_.SameFileName(a, b);
}

std::vector<std::u16string> OverlayFileSystem::WholeFolders() { return system_.WholeFolders(); }

}  // namespace uninstall
