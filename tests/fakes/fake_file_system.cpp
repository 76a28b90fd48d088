#include "fakes/fake_file_system.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>
#include <string_view>

#include "fakes/handle_text.h"
#include "model/node_rules.h"
#include "names/encodings.h"
#include "names/name_case.h"

namespace uninstall {
namespace {

constexpr std::uint32_t kErrorInvalidParameter = 87;
constexpr std::uint32_t kShareWrite = 0x2;

char UpperChar(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::u16string Widen(std::string_view text);

// A name's key among its directory's entries: letter case folded as the file system folds it.
std::string Upper(std::string_view text) { return Utf8Of(UpcasedName(Widen(text))); }

// Wildcard match as the search call does it: `*` any run, `?` one character, no case.
bool MatchesGlob(std::string_view pattern, std::string_view name) {
  std::size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || UpperChar(pattern[p]) == UpperChar(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

// A trailing ".*" also matches names without an extension, so "*.*" matches every name.
bool MatchesPattern(std::string_view pattern, std::string_view name) {
  if (MatchesGlob(pattern, name)) return true;
  return pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
         MatchesGlob(pattern.substr(0, pattern.size() - 2), name);
}

struct Node {
  std::string name;  // as created: "C:", "\\srv\share" or an entry name
  bool directory = false;
  std::uint32_t attributes = 0;
  std::string contents;
  std::optional<std::uint64_t> reported_size;
  bool held_open = false;
  std::string link_target;  // a junction: its contents are those of this path
  Node* parent = nullptr;
  bool detached = false;  // deleted or moved away while a handle was open on it
  std::map<std::string, std::unique_ptr<Node>> children;  // by upper-cased name

  std::uint64_t Size() const { return reported_size ? *reported_size : contents.size(); }

  Node() = default;
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;
  // Level by level, not a call per level: a tree may be a hundred thousand levels deep.
  ~Node() {
    std::vector<std::unique_ptr<Node>> below;
    for (auto& [key, child] : children) below.push_back(std::move(child));
    children.clear();
    while (!below.empty()) {
      std::unique_ptr<Node> node = std::move(below.back());
      below.pop_back();
      for (auto& [key, child] : node->children) below.push_back(std::move(child));
      node->children.clear();
    }
  }
};

// "C:\a\b\" split into the root key "C:", the parts {"a", "b"} and the trailing separator.
struct ParsedPath {
  std::string root_key;
  std::string root_name;
  std::vector<std::string> parts;
  bool trailing_separator = false;
};

std::optional<ParsedPath> Parse(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  ParsedPath parsed;
  std::string rest;
  if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
    parsed.root_name = path.substr(0, 2);
    rest = path.substr(2);
    if (!rest.empty() && rest[0] != '\\') return std::nullopt;  // drive-relative
  } else if (path.size() > 2 && path[0] == '\\' && path[1] == '\\') {
    std::size_t server_end = path.find('\\', 2);
    if (server_end == std::string::npos || server_end == 2) return std::nullopt;
    std::size_t share_end = path.find('\\', server_end + 1);
    if (share_end == std::string::npos) share_end = path.size();
    if (share_end == server_end + 1) return std::nullopt;
    parsed.root_name = path.substr(0, share_end);
    rest = path.substr(share_end);
  } else {
    return std::nullopt;
  }
  parsed.root_key = Upper(parsed.root_name);
  std::size_t start = 0;
  while (start <= rest.size()) {
    std::size_t end = rest.find('\\', start);
    if (end == std::string::npos) end = rest.size();
    std::string part = rest.substr(start, end - start);
    if (part == "..") {
      if (!parsed.parts.empty()) parsed.parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parsed.parts.push_back(part);
    }
    start = end + 1;
  }
  parsed.trailing_separator = !parsed.parts.empty() && rest.back() == '\\';
  return parsed;
}

struct Drive {
  std::uint32_t type = kDriveFixed;
  std::unique_ptr<Node> root;
};

struct Search {
  std::string text;                  // the pattern as given, for the log
  std::string directory;             // path of the directory searched
  std::vector<std::string> matches;  // "." / ".." / upper-cased child names, in order
  std::size_t next = 0;
};

struct OpenedFile {
  Node* node = nullptr;
  std::string path;
  std::uint32_t access = 0;
  std::uint32_t share = 0;
  std::uint64_t position = 0;
};

struct OpenedNode {
  Node* node = nullptr;
  std::uint32_t access = 0;
  std::optional<std::string> name_path;  // the final path it reports, when by name
  bool delete_on_close = false;
  std::vector<std::string> listing;  // "." / ".." / upper-cased child names, from a restart
  std::size_t listed = 0;
};

// How many entries one listing call hands out: small, so that callers meet the next call.
constexpr std::size_t kListBatch = 3;

std::string WithoutTrailingBackslashes(std::string path) {
  while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

// The fake's system runs in the Western code page, as the test prefixes do.
std::u16string Widen(std::string_view text) { return WidenedFrom(kWesternCodePage, text); }

// The fake's names are 8-bit; a character the code page has no byte for names nothing here.
std::optional<std::string> Narrow(std::u16string_view text) {
  return NarrowedTo(kWesternCodePage, text);
}

// Whether an open with `access`/`share` can coexist with an existing one.
bool SharingAllows(std::uint32_t old_access, std::uint32_t old_share, std::uint32_t access,
                   std::uint32_t share) {
  if ((access & kGenericWrite) && !(old_share & kShareWrite)) return false;
  if ((access & kGenericRead) && !(old_share & kShareRead)) return false;
  if ((old_access & kGenericWrite) && !(share & kShareWrite)) return false;
  if ((old_access & kGenericRead) && !(share & kShareRead)) return false;
  return true;
}

}  // namespace

struct FakeFileSystem::Impl {
  CallLog* log = nullptr;
  std::map<std::string, Drive> drives;  // by upper-cased root name
  std::map<SearchHandle, Search> searches;
  std::map<FileHandle, OpenedFile> files;
  std::map<NodeHandle, OpenedNode> nodes;
  PendingDeletions<const Node*> pending;  // and the node handles open on each node
  // The node WidePathOf gave last, and its path; none once names may have changed.
  const Node* last_path_node = nullptr;
  std::u16string last_path;
  std::vector<std::unique_ptr<Node>> detached;  // kept while handles are open on them
  bool opens_follow_links = false;
  bool final_paths_by_name = false;
  bool normalized_paths_as_opened = false;
  std::map<NodeHandle, std::string> opened_by_path;  // node handles opened by a path
  std::uintptr_t next_handle = 0x100;
  std::uint32_t last_disposition = 0;
  std::optional<std::uint64_t> disk_space;  // bytes that can still be written

  // Records the call; true when fault injection makes it fail.
  bool Log(std::string entry) { return !log_muted && log != nullptr && log->Add(std::move(entry)); }
  bool log_muted = false;
  std::map<std::string, std::string> security;  // by upper-cased path

  Node* RootOf(const ParsedPath& parsed) const {
    auto drive = drives.find(parsed.root_key);
    return drive == drives.end() ? nullptr : drive->second.root.get();
  }

  // What a junction stands for when something is looked up inside it.
  Node* Resolve(Node* node, int depth = 0) const {
    if (node == nullptr || node->link_target.empty()) return node;
    if (depth > 8) return nullptr;
    return Resolve(Lookup(node->link_target), depth + 1);
  }

  // The node named by the first `count` parts; junctions on the way are followed, a junction
  // at the end is the link itself.
  Node* Walk(const ParsedPath& parsed, std::size_t count) const {
    Node* node = RootOf(parsed);
    for (std::size_t i = 0; i < count && node != nullptr; ++i) {
      node = Resolve(node);
      if (node == nullptr || !node->directory) return nullptr;
      auto child = node->children.find(Upper(parsed.parts[i]));
      node = child == node->children.end() ? nullptr : child->second.get();
    }
    return node;
  }

  // The node a path names; a trailing separator after a file names nothing.
  Node* Lookup(const std::string& path) const {
    auto parsed = Parse(path);
    if (!parsed) return nullptr;
    Node* node = Walk(*parsed, parsed->parts.size());
    if (node != nullptr && parsed->trailing_separator && !node->directory) return nullptr;
    return node;
  }

  Node* AddRoot(const ParsedPath& parsed, std::uint32_t type) {
    Drive& drive = drives[parsed.root_key];
    drive.type = type;
    if (!drive.root) {
      drive.root = std::make_unique<Node>();
      drive.root->name = parsed.root_name;
      drive.root->directory = true;
      drive.root->attributes = kAttributeDirectory;
    }
    return drive.root.get();
  }

  // Creates missing directories along the first `count` parts; nullptr when a file is in the way.
  Node* MakeDirectories(const ParsedPath& parsed, std::size_t count) {
    Node* node = RootOf(parsed);
    if (node == nullptr) {
      node = AddRoot(parsed, parsed.root_key.size() == 2 ? kDriveFixed : kDriveRemote);
    }
    for (std::size_t i = 0; i < count; ++i) {
      if (!node->directory) return nullptr;
      auto& child = node->children[Upper(parsed.parts[i])];
      if (!child) {
        child = std::make_unique<Node>();
        child->name = parsed.parts[i];
        child->directory = true;
        child->attributes = kAttributeDirectory;
        child->parent = node;
      }
      node = child.get();
    }
    return node->directory ? node : nullptr;
  }

  bool IsOpen(const Node* node) const {
    if (node->held_open) return true;
    return std::any_of(files.begin(), files.end(),
                       [node](const auto& file) { return file.second.node == node; });
  }

  bool SharingPermits(const Node* node, std::uint32_t access, std::uint32_t share) const {
    if (node->held_open && !SharingAllows(kGenericRead, kShareRead, access, share)) return false;
    for (const auto& [handle, file] : files) {
      if (file.node == node && !SharingAllows(file.access, file.share, access, share)) {
        return false;
      }
    }
    return true;
  }

  std::uintptr_t NewHandle() {
    std::uintptr_t handle = next_handle;
    next_handle += 4;
    return handle;
  }

  // Fills `entry` with the next match of the search that still exists.
  bool NextMatch(Search& search, FoundEntry* entry) {
    Node* directory = Resolve(Lookup(search.directory));
    while (directory != nullptr && search.next < search.matches.size()) {
      const std::string& key = search.matches[search.next++];
      if (key == "." || key == "..") {
        const Node* source = key == "." ? directory : directory->parent;
        *entry = FoundEntry{source->attributes, 0, key};
        return true;
      }
      auto child = directory->children.find(key);
      if (child == directory->children.end()) continue;  // deleted since the search began
      const Node& node = *child->second;
      *entry = FoundEntry{node.attributes, node.directory ? 0 : node.Size(), node.name};
      return true;
    }
    return false;
  }

  // Every node handle goes through these two, so that a node's handles are counted at once (a
  // walk down a tree a hundred thousand levels deep holds as many).
  NodeHandle AddNode(OpenedNode opened) {
    const NodeHandle handle(NewHandle());
    pending.Opened(opened.node);
    nodes[handle] = std::move(opened);
    return handle;
  }
  // True when the node goes now: its deletion was pending, and this was its last handle.
  bool EraseNode(std::map<NodeHandle, OpenedNode>::iterator opened) {
    opened_by_path.erase(opened->first);
    const bool goes = pending.Closed(opened->second.node);
    nodes.erase(opened);
    return goes;
  }

  // Takes a node out of its parent; one that a handle is open on lives on, detached.
  void Remove(Node* node) {
    if (node == last_path_node) last_path_node = nullptr;
    auto entry = node->parent->children.find(Upper(node->name));
    std::unique_ptr<Node> owned = std::move(entry->second);
    node->parent->children.erase(entry);
    node->parent = nullptr;
    node->detached = true;
    if (pending.HasHandles(node)) detached.push_back(std::move(owned));
  }

  // The full path of a node ("C:\App\x"), or nothing when it is no longer in the tree.
  std::optional<std::string> PathOf(const Node* node) const {
    std::string path;
    for (; node != nullptr; node = node->parent) {
      if (node->detached) return std::nullopt;
      if (node->parent == nullptr) return node->name + (path.empty() ? "\\" : path);
      path = "\\" + node->name + path;
    }
    return std::nullopt;
  }

  // PathOf in UTF-16. The path of the node asked for last is kept, so that the path of one of its
  // children (what a walk down a tree asks for next) is that path and one name more, not a walk
  // up to the root: a tree may be a hundred thousand levels deep.
  std::optional<std::u16string> WidePathOf(const Node* node) {
    if (node->detached) return std::nullopt;
    if (last_path_node != nullptr && node->parent == last_path_node) {
      if (last_path.back() != u'\\') last_path += u'\\';
      last_path += Widen(node->name);
    } else if (node != last_path_node) {
      const std::optional<std::string> path = PathOf(node);
      if (!path) return std::nullopt;
      last_path = Widen(*path);
    }
    last_path_node = node;
    return last_path;
  }

  // Where the system says an open node is, after `prefix`: the name it was opened by as it led
  // then (Wine's way, with final paths by name), or where the node now is.
  bool ReportedPath(NodeHandle handle, std::u16string_view prefix, std::u16string* path) {
    auto found = nodes.find(handle);
    if (found == nodes.end()) return false;
    std::optional<std::u16string> full;
    if (found->second.name_path) {
      full = Widen(*found->second.name_path);
    } else {
      full = WidePathOf(found->second.node);
    }
    if (!full) return false;
    path->reserve(prefix.size() + full->size());
    path->assign(prefix);
    path->append(*full);
    return true;
  }

  // Where a path leads now, every link followed; nothing when it leads nowhere.
  std::optional<std::string> RealPath(const std::string& path) const {
    const Node* node = Resolve(Lookup(path));
    return node == nullptr ? std::nullopt : PathOf(node);
  }

  // For the call log; nothing when there is none.
  std::string NodeText(NodeHandle handle) const {
    if (log == nullptr || log_muted) return {};
    auto found = nodes.find(handle);
    if (found == nodes.end()) return HandleText(handle);
    return PathOf(found->second.node).value_or("(gone) " + found->second.node->name);
  }

  static void CollectPaths(const Node& node, const std::string& prefix,
                           std::vector<std::string>* paths) {
    for (const auto& [key, child] : node.children) {
      std::string path = prefix + child->name;
      if (child->directory) {
        paths->push_back(path + "\\");
        CollectPaths(*child, path + "\\", paths);
      } else {
        paths->push_back(path);
      }
    }
  }
};

FakeFileSystem::FakeFileSystem(CallLog* log) : impl_(std::make_unique<Impl>()) {
  impl_->log = log;
  AddDrive('C');
}

FakeFileSystem::~FakeFileSystem() = default;

void FakeFileSystem::AddDrive(char letter, std::uint32_t type) {
  impl_->AddRoot(*Parse(std::string(1, UpperChar(letter)) + ":\\"), type);
}

void FakeFileSystem::AddDirectory(const std::string& path, std::uint32_t attributes) {
  auto parsed = Parse(path);
  if (!parsed) return;
  Node* node = impl_->MakeDirectories(*parsed, parsed->parts.size());
  if (node != nullptr && !parsed->parts.empty())
    node->attributes = attributes | kAttributeDirectory;
}

void FakeFileSystem::AddFile(const std::string& path, const std::string& contents,
                             std::uint32_t attributes) {
  auto parsed = Parse(path);
  if (!parsed || parsed->parts.empty()) return;
  Node* parent = impl_->MakeDirectories(*parsed, parsed->parts.size() - 1);
  if (parent == nullptr) return;
  auto& node = parent->children[Upper(parsed->parts.back())];
  if (!node) {
    node = std::make_unique<Node>();
    node->name = parsed->parts.back();
    node->parent = parent;
  } else if (node->directory) {
    return;
  }
  node->contents = contents;
  node->reported_size.reset();
  node->attributes = attributes & ~kAttributeDirectory;
}

void FakeFileSystem::SetReportedSize(const std::string& path, std::uint64_t size) {
  Node* node = impl_->Lookup(path);
  if (node != nullptr && !node->directory) node->reported_size = size;
}

void FakeFileSystem::AddLink(const std::string& path, const std::string& target) {
  AddDirectory(path, kAttributeDirectory | kAttributeReparsePoint);
  Node* node = impl_->Lookup(path);
  if (node != nullptr) node->link_target = target;
}

void FakeFileSystem::SetDiskSpace(std::uint64_t bytes) { impl_->disk_space = bytes; }

void FakeFileSystem::HoldOpen(const std::string& path) {
  Node* node = impl_->Lookup(path);
  if (node != nullptr) node->held_open = true;
}

bool FakeFileSystem::Exists(const std::string& path) const {
  return impl_->Lookup(path) != nullptr;
}

bool FakeFileSystem::IsDirectory(const std::string& path) const {
  Node* node = impl_->Lookup(path);
  return node != nullptr && node->directory;
}

std::string FakeFileSystem::Contents(const std::string& path) const {
  Node* node = impl_->Lookup(path);
  return node == nullptr ? std::string() : node->contents;
}

std::uint32_t FakeFileSystem::Attributes(const std::string& path) const {
  Node* node = impl_->Lookup(path);
  return node == nullptr ? kInvalidAttributes : node->attributes;
}

std::vector<std::string> FakeFileSystem::AllPaths() const {
  std::vector<std::string> paths;
  for (const auto& [key, drive] : impl_->drives) {
    Impl::CollectPaths(*drive.root, drive.root->name + "\\", &paths);
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

int FakeFileSystem::OpenHandles() const {
  return static_cast<int>(impl_->searches.size() + impl_->files.size() + impl_->nodes.size());
}

bool FakeFileSystem::Rename(const std::string& from, const std::string& to) {
  impl_->last_path_node = nullptr;
  Node* node = impl_->Lookup(from);
  auto parsed = Parse(to);
  if (node == nullptr || node->parent == nullptr || !parsed || parsed->parts.empty()) return false;
  Node* parent = impl_->Resolve(impl_->Walk(*parsed, parsed->parts.size() - 1));
  const std::string key = Upper(parsed->parts.back());
  if (parent == nullptr || !parent->directory || parent->children.count(key) != 0) return false;
  auto entry = node->parent->children.find(Upper(node->name));
  std::unique_ptr<Node> owned = std::move(entry->second);
  node->parent->children.erase(entry);
  node->name = parsed->parts.back();
  node->parent = parent;
  parent->children[key] = std::move(owned);
  return true;
}

void FakeFileSystem::SetOpensFollowLinks(bool follow) { impl_->opens_follow_links = follow; }

void FakeFileSystem::SetFinalPathsByName(bool by_name) { impl_->final_paths_by_name = by_name; }

void FakeFileSystem::SetNormalizedPathsAsOpened(bool as_opened) {
  impl_->normalized_paths_as_opened = as_opened;
}

SearchHandle FakeFileSystem::FindFirst(const std::string& pattern, FoundEntry* entry,
                                       std::uint32_t* error) {
  const bool injected = impl_->Log("FindFirst " + pattern);
  auto fail = [error](std::uint32_t code) {
    if (error != nullptr) *error = code;
    return SearchHandle{0};
  };
  if (injected) return fail(kErrorAccessDenied);
  auto parsed = Parse(pattern);
  if (!parsed) return fail(kErrorPathNotFound);
  // A root or a trailing separator leaves no name to look for.
  if (parsed->parts.empty() || parsed->trailing_separator) {
    return fail(impl_->RootOf(*parsed) ? kErrorFileNotFound : kErrorPathNotFound);
  }
  Node* directory = impl_->Resolve(impl_->Walk(*parsed, parsed->parts.size() - 1));
  if (directory == nullptr || !directory->directory) return fail(kErrorPathNotFound);

  Search search;
  search.text = pattern;
  std::string name_pattern = parsed->parts.back();
  if (directory->parent != nullptr) {
    for (const char* dots : {".", ".."}) {
      if (MatchesPattern(name_pattern, dots)) search.matches.push_back(dots);
    }
  }
  for (const auto& [key, child] : directory->children) {
    if (MatchesPattern(name_pattern, child->name)) search.matches.push_back(key);
  }
  search.directory = parsed->root_name + "\\";
  for (std::size_t i = 0; i + 1 < parsed->parts.size(); ++i) {
    search.directory += parsed->parts[i] + "\\";
  }
  FoundEntry first;
  if (!impl_->NextMatch(search, &first)) return fail(kErrorFileNotFound);
  if (entry != nullptr) *entry = first;
  const SearchHandle handle(impl_->NewHandle());
  impl_->searches[handle] = std::move(search);
  return handle;
}

bool FakeFileSystem::FindNext(SearchHandle search, FoundEntry* entry) {
  auto found = impl_->searches.find(search);
  if (found == impl_->searches.end()) {
    impl_->Log("FindNext " + HandleText(search));
    return false;
  }
  if (impl_->Log("FindNext " + found->second.text)) return false;
  FoundEntry next;
  if (!impl_->NextMatch(found->second, &next)) return false;
  if (entry != nullptr) *entry = next;
  return true;
}

void FakeFileSystem::CloseSearch(SearchHandle search) {
  auto found = impl_->searches.find(search);
  impl_->Log("CloseSearch " +
             (found == impl_->searches.end() ? HandleText(search) : found->second.text));
  if (found != impl_->searches.end()) impl_->searches.erase(found);
}

std::uint32_t FakeFileSystem::DriveTypeOf(const std::string& root) {
  if (impl_->Log("DriveTypeOf " + root)) return 0;  // DRIVE_UNKNOWN
  auto parsed = Parse(root);
  if (!parsed || !parsed->parts.empty()) return kDriveNoRootDir;
  auto drive = impl_->drives.find(parsed->root_key);
  return drive == impl_->drives.end() ? kDriveNoRootDir : drive->second.type;
}

std::uint32_t FakeFileSystem::AttributesOf(const std::string& path) {
  if (impl_->Log("AttributesOf " + path)) return kInvalidAttributes;
  Node* node = impl_->Lookup(path);
  return node == nullptr ? kInvalidAttributes : node->attributes;
}

bool FakeFileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
  if (impl_->Log("SetAttributes " + path + " " + std::to_string(attributes))) return false;
  Node* node = impl_->Lookup(path);
  if (node == nullptr) return false;
  node->attributes = AttributesAfterSetting(node->attributes, attributes);
  return true;
}

bool FakeFileSystem::EraseFile(const std::string& path) {
  if (impl_->Log("EraseFile " + path)) return false;
  Node* node = impl_->Lookup(path);
  if (node == nullptr || node->parent == nullptr ||
      !MayEraseFile(node->attributes, impl_->IsOpen(node))) {
    return false;
  }
  impl_->Remove(node);
  return true;
}

bool FakeFileSystem::EraseDirectory(const std::string& path) {
  if (impl_->Log("EraseDirectory " + path)) return false;
  Node* node = impl_->Lookup(path);
  if (node == nullptr || node->parent == nullptr ||
      !MayEraseDirectory(node->attributes, node->children.empty())) {
    return false;
  }
  impl_->Remove(node);
  return true;
}

std::uint32_t FakeFileSystem::LastDisposition() const { return impl_->last_disposition; }

FileHandle FakeFileSystem::OpenFile(const std::string& path, std::uint32_t access,
                                    std::uint32_t share, std::uint32_t disposition,
                                    std::uint32_t attributes, std::uint32_t* error) {
  const bool injected = impl_->Log("OpenFile " + path);
  impl_->last_disposition = disposition;
  auto fail = [error](std::uint32_t code) {
    if (error != nullptr) *error = code;
    return FileHandle{0};
  };
  if (injected) return fail(kErrorAccessDenied);
  if (disposition < kCreateNew || disposition > kTruncateExisting) {
    return fail(kErrorInvalidParameter);
  }
  auto parsed = Parse(path);
  if (!parsed || !impl_->RootOf(*parsed)) return fail(kErrorPathNotFound);
  if (parsed->parts.empty()) return fail(kErrorAccessDenied);
  Node* parent = impl_->Resolve(impl_->Walk(*parsed, parsed->parts.size() - 1));
  if (parent == nullptr || !parent->directory) return fail(kErrorPathNotFound);
  auto existing = parent->children.find(Upper(parsed->parts.back()));
  Node* node = existing == parent->children.end() ? nullptr : existing->second.get();
  if (node != nullptr && parsed->trailing_separator && !node->directory) {
    return fail(kErrorPathNotFound);
  }

  if (node == nullptr) {
    if (disposition == kOpenExisting || disposition == kTruncateExisting) {
      return fail(kErrorFileNotFound);
    }
    auto& created = parent->children[Upper(parsed->parts.back())];
    created = std::make_unique<Node>();
    created->name = parsed->parts.back();
    created->parent = parent;
    std::uint32_t kept = attributes & ~(kAttributeNormal | kAttributeDirectory);
    created->attributes = kept | kAttributeArchive;
    node = created.get();
  } else {
    if (node->directory) return fail(kErrorAccessDenied);
    if (disposition == kCreateNew) return fail(kErrorFileExists);
    bool truncates = disposition == kCreateAlways || disposition == kTruncateExisting;
    if (disposition == kTruncateExisting && !(access & kGenericWrite)) {
      return fail(kErrorInvalidParameter);
    }
    if ((node->attributes & kAttributeReadOnly) && (truncates || (access & kGenericWrite))) {
      return fail(kErrorAccessDenied);
    }
    // Recreating a hidden or system file must repeat those attributes.
    std::uint32_t guarded = node->attributes & (kAttributeHidden | kAttributeSystem);
    if (disposition == kCreateAlways && (attributes & guarded) != guarded) {
      return fail(kErrorAccessDenied);
    }
    if (!impl_->SharingPermits(node, access, share)) return fail(kErrorSharingViolation);
    if (truncates) {
      node->contents.clear();
      node->reported_size.reset();
    }
  }
  const FileHandle handle(impl_->NewHandle());
  impl_->files[handle] = OpenedFile{node, path, access, share, 0};
  return handle;
}

FileHandle FakeFileSystem::CreateProtectedFile(const std::string& path, const std::string& security,
                                               std::uint32_t* error) {
  if (impl_->Log("CreateProtectedFile " + path + " " + security)) {
    if (error != nullptr) *error = kErrorAccessDenied;
    return {};
  }
  std::uint32_t open_error = 0;
  impl_->log_muted = true;  // one call, logged above
  FileHandle handle = OpenFile(path, kGenericRead | kGenericWrite, kShareRead, kCreateNew,
                               kAttributeNormal, &open_error);
  impl_->log_muted = false;
  if (!handle.valid()) {
    if (error != nullptr) *error = open_error;
    return {};
  }
  impl_->security[Upper(path)] = security;
  return handle;
}

std::string FakeFileSystem::SecurityOf(const std::string& path) const {
  auto found = impl_->security.find(Upper(path));
  return found == impl_->security.end() ? "" : found->second;
}

std::int64_t FakeFileSystem::SizeOfFile(FileHandle file) {
  auto found = impl_->files.find(file);
  if (found == impl_->files.end()) {
    impl_->Log("SizeOfFile " + HandleText(file));
    return -1;
  }
  if (impl_->Log("SizeOfFile " + found->second.path)) return -1;
  return static_cast<std::int64_t>(found->second.node->Size());
}

bool FakeFileSystem::ReadBytes(FileHandle file, void* buffer, std::uint32_t count,
                               std::uint32_t* read) {
  if (read != nullptr) *read = 0;
  auto found = impl_->files.find(file);
  if (found == impl_->files.end()) {
    impl_->Log("ReadBytes " + HandleText(file) + " " + std::to_string(count));
    return false;
  }
  OpenedFile& opened = found->second;
  if (impl_->Log("ReadBytes " + opened.path + " " + std::to_string(count))) return false;
  if (!(opened.access & kGenericRead)) return false;
  const std::string& contents = opened.node->contents;
  std::uint64_t available =
      opened.position < contents.size() ? contents.size() - opened.position : 0;
  std::uint32_t taken = static_cast<std::uint32_t>(std::min<std::uint64_t>(count, available));
  if (taken > 0) std::memcpy(buffer, contents.data() + opened.position, taken);
  opened.position += taken;
  if (read != nullptr) *read = taken;
  return true;
}

bool FakeFileSystem::WriteBytes(FileHandle file, const void* buffer, std::uint32_t count,
                                std::uint32_t* written) {
  if (written != nullptr) *written = 0;
  auto found = impl_->files.find(file);
  if (found == impl_->files.end()) {
    impl_->Log("WriteBytes " + HandleText(file) + " " + std::to_string(count));
    return false;
  }
  OpenedFile& opened = found->second;
  if (impl_->Log("WriteBytes " + opened.path + " " + std::to_string(count))) return false;
  if (!(opened.access & kGenericWrite)) return false;
  bool complete = true;
  if (impl_->disk_space && *impl_->disk_space < count) {
    count = static_cast<std::uint32_t>(*impl_->disk_space);
    complete = false;
  }
  if (impl_->disk_space) *impl_->disk_space -= count;
  std::string& contents = opened.node->contents;
  if (contents.size() < opened.position + count) contents.resize(opened.position + count, '\0');
  if (count > 0) std::memcpy(contents.data() + opened.position, buffer, count);
  opened.position += count;
  opened.node->reported_size.reset();
  if (written != nullptr) *written = count;
  return complete;
}

bool FakeFileSystem::MovePointer(FileHandle file, std::int64_t distance, MoveFrom from) {
  auto found = impl_->files.find(file);
  if (found == impl_->files.end()) {
    impl_->Log("MovePointer " + HandleText(file) + " " + std::to_string(distance));
    return false;
  }
  OpenedFile& opened = found->second;
  if (impl_->Log("MovePointer " + opened.path + " " + std::to_string(distance) +
                 (from == MoveFrom::kStart ? " start" : ""))) {
    return false;
  }
  std::int64_t target =
      (from == MoveFrom::kStart ? 0 : static_cast<std::int64_t>(opened.position)) + distance;
  if (target < 0) return false;
  opened.position = static_cast<std::uint64_t>(target);
  return true;
}

void FakeFileSystem::CloseFile(FileHandle file) {
  auto found = impl_->files.find(file);
  impl_->Log("CloseFile " + (found == impl_->files.end() ? HandleText(file) : found->second.path));
  if (found != impl_->files.end()) impl_->files.erase(found);
}

NodeHandle FakeFileSystem::OpenDirectoryPath(const std::u16string& wide_path, std::uint32_t access,
                                             std::uint32_t* error) {
  const std::optional<std::string> path = Narrow(wide_path);
  const bool injected = impl_->Log("OpenDirectoryPath " + path.value_or("(wide)"));
  auto fail = [error](std::uint32_t code) {
    if (error != nullptr) *error = code;
    return NodeHandle{0};
  };
  if (injected) return fail(kErrorAccessDenied);
  if (!path) return fail(kErrorPathNotFound);
  // Opened by its path, a link leads to what it points to, at the end as on the way.
  Node* node = impl_->Resolve(impl_->Lookup(*path));
  if (node == nullptr) return fail(kErrorPathNotFound);
  if (node->held_open && (access & kNodeDelete)) return fail(kErrorSharingViolation);
  const NodeHandle handle = impl_->AddNode(OpenedNode{node, access, std::nullopt, false, {}, 0});
  impl_->opened_by_path[handle] = WithoutTrailingBackslashes(*path);
  return handle;
}

NodeHandle FakeFileSystem::OpenNode(NodeHandle parent, const std::u16string& name,
                                    std::uint32_t access, std::uint32_t* error) {
  const std::optional<std::string> narrow = Narrow(name);
  const bool injected =
      impl_->Log("OpenNode " + impl_->NodeText(parent) + "\\" + narrow.value_or("(wide)"));
  auto fail = [error](std::uint32_t code) {
    if (error != nullptr) *error = code;
    return NodeHandle{0};
  };
  if (injected) return fail(kErrorAccessDenied);
  auto opened_parent = impl_->nodes.find(parent);
  if (opened_parent == impl_->nodes.end()) return fail(kErrorInvalidParameter);
  if (name.empty()) {
    // The directory itself once more, wherever it now is.
    const OpenedNode& again = opened_parent->second;
    if (again.node->detached) return fail(kErrorFileNotFound);
    if (again.node->held_open && (access & kNodeDelete)) return fail(kErrorSharingViolation);
    return impl_->AddNode(OpenedNode{again.node, access, again.name_path, false, {}, 0});
  }
  if (name == u"." || name == u".." || name.find_first_of(u"\\/") != std::u16string::npos) {
    return fail(kErrorInvalidName);
  }
  // Relative to the directory itself, wherever it now is; a link is not entered (its own
  // children are none).
  Node* directory = opened_parent->second.node;
  if (!directory->directory) return fail(kErrorPathNotFound);
  if (!narrow) return fail(kErrorFileNotFound);
  auto child = directory->children.find(Upper(*narrow));
  if (child == directory->children.end()) return fail(kErrorFileNotFound);
  if (impl_->pending.IsPending(child->second.get())) return fail(kErrorAccessDenied);
  Node* node = child->second.get();
  if (impl_->opens_follow_links) node = impl_->Resolve(node);
  if (node == nullptr) return fail(kErrorFileNotFound);
  // As the system answers a directory opened as a file only (STATUS_FILE_IS_A_DIRECTORY).
  if ((access & kNodeFileOnly) != 0 && node->directory) return fail(kErrorAccessDenied);
  if (node->held_open && (access & kNodeDelete)) return fail(kErrorSharingViolation);
  // Wine opens the name relative to the directory itself, but works out the final path anew
  // from the directory's name, as that name leads now.
  std::optional<std::string> name_path;
  if (impl_->final_paths_by_name) {
    const OpenedNode& above = opened_parent->second;
    std::optional<std::string> parent_path =
        above.name_path ? above.name_path : impl_->PathOf(above.node);
    if (parent_path) {
      if (parent_path->back() != '\\') *parent_path += '\\';
      name_path = impl_->RealPath(*parent_path + *narrow);
    }
  }
  return impl_->AddNode(OpenedNode{node, access, name_path, false, {}, 0});
}

bool FakeFileSystem::NodeAttributes(NodeHandle node, std::uint32_t* attributes) {
  if (impl_->Log("NodeAttributes " + impl_->NodeText(node))) return false;
  auto found = impl_->nodes.find(node);
  if (found == impl_->nodes.end()) return false;
  *attributes = found->second.node->attributes;
  return true;
}

bool FakeFileSystem::FinalPath(NodeHandle node, std::u16string* path) {
  if (impl_->Log("FinalPath " + impl_->NodeText(node))) return false;
  return impl_->ReportedPath(node, u"\\??\\", path);
}

bool FakeFileSystem::NormalizedPath(NodeHandle node, std::u16string* path) {
  if (impl_->Log("NormalizedPath " + impl_->NodeText(node))) return false;
  auto opened_by = impl_->opened_by_path.find(node);
  if (impl_->normalized_paths_as_opened && opened_by != impl_->opened_by_path.end() &&
      opened_by->second.rfind("\\\\", 0) == 0) {
    *path = u"\\\\?\\UNC\\" + Widen(opened_by->second.substr(2));
    return true;
  }
  return impl_->ReportedPath(node, u"\\\\?\\", path);
}

bool FakeFileSystem::NodeId(NodeHandle node, std::uint64_t* id) {
  if (impl_->Log("NodeId " + impl_->NodeText(node))) return false;
  auto found = impl_->nodes.find(node);
  if (found == impl_->nodes.end()) return false;
  *id = reinterpret_cast<std::uintptr_t>(found->second.node);
  return true;
}

bool FakeFileSystem::NodeIdentity(NodeHandle node, std::uint32_t* volume, std::uint64_t* id) {
  if (impl_->Log("NodeIdentity " + impl_->NodeText(node))) return false;
  auto found = impl_->nodes.find(node);
  if (found == impl_->nodes.end()) return false;
  *volume = 0x43000000;
  *id = reinterpret_cast<std::uintptr_t>(found->second.node);
  return true;
}

bool FakeFileSystem::FindListedEntry(NodeHandle directory, const std::u16string& name,
                                     ListedName* entry) {
  const std::optional<std::string> narrow = Narrow(name);
  if (impl_->Log("FindListedEntry " + impl_->NodeText(directory) + "\\" +
                 narrow.value_or("(wide)"))) {
    return false;
  }
  auto found = impl_->nodes.find(directory);
  if (found == impl_->nodes.end() || !found->second.node->directory || !narrow) return false;
  auto child = found->second.node->children.find(Upper(*narrow));
  if (child == found->second.node->children.end()) return false;
  const Node* listed = child->second.get();
  // A link lists as one; Wine gives it the id of what it points to.
  const Node* identity = impl_->opens_follow_links ? impl_->Resolve(child->second.get()) : listed;
  *entry = ListedName{Widen(listed->name), listed->attributes,
                      reinterpret_cast<std::uintptr_t>(identity)};
  return true;
}

bool FakeFileSystem::SetNodeAttributes(NodeHandle node, std::uint32_t attributes) {
  if (impl_->Log("SetNodeAttributes " + impl_->NodeText(node) + " " + std::to_string(attributes))) {
    return false;
  }
  auto found = impl_->nodes.find(node);
  if (found == impl_->nodes.end() || !(found->second.access & kNodeDelete)) return false;
  found->second.node->attributes =
      AttributesAfterSetting(found->second.node->attributes, attributes);
  return true;
}

bool FakeFileSystem::DeleteOnClose(NodeHandle node) {
  if (impl_->Log("DeleteOnClose " + impl_->NodeText(node))) return false;
  auto found = impl_->nodes.find(node);
  if (found == impl_->nodes.end()) return false;
  const Node* target = found->second.node;
  if (target->parent == nullptr ||
      !MayMarkForDeletion(found->second.access, target->attributes, target->children.empty())) {
    return false;
  }
  found->second.delete_on_close = true;
  return true;
}

bool FakeFileSystem::ListNode(NodeHandle directory, ListFrom from,
                              std::vector<ListedName>* entries) {
  entries->clear();
  if (impl_->Log("ListNode " + impl_->NodeText(directory) +
                 (from == ListFrom::kStart ? " restart" : ""))) {
    return false;
  }
  auto found = impl_->nodes.find(directory);
  if (found == impl_->nodes.end() || !(found->second.access & kNodeList)) return false;
  OpenedNode& opened = found->second;
  Node* node = opened.node;
  if (!node->directory) return false;
  if (from == ListFrom::kStart) {
    opened.listing.clear();
    opened.listed = 0;
    if (node->parent != nullptr) opened.listing = {".", ".."};
    for (const auto& [key, child] : node->children) opened.listing.push_back(key);
  }
  while (opened.listed < opened.listing.size() && entries->size() < kListBatch) {
    const std::string& key = opened.listing[opened.listed++];
    if (key == "." || key == "..") {
      entries->push_back(ListedName{Widen(key), kAttributeDirectory, 0});
      continue;
    }
    auto child = node->children.find(key);
    if (child == node->children.end()) continue;  // gone since the listing began
    entries->push_back(ListedName{Widen(child->second->name), child->second->attributes,
                                  reinterpret_cast<std::uintptr_t>(child->second.get())});
  }
  return !entries->empty();
}

void FakeFileSystem::CloseNode(NodeHandle node) {
  impl_->Log("CloseNode " + impl_->NodeText(node));
  auto found = impl_->nodes.find(node);
  if (found == impl_->nodes.end()) return;
  Node* target = found->second.node;
  // Wine removes the name it worked out at the opening, and only while it still leads there.
  const std::optional<std::string> name_path = found->second.name_path;
  if (found->second.delete_on_close &&
      (!name_path || impl_->Resolve(impl_->Lookup(*name_path)) == target)) {
    impl_->pending.Mark(target);
  }
  // Only an empty directory goes, whatever appeared in it since.
  if (impl_->EraseNode(found) && !target->detached &&
      (!target->directory || target->children.empty())) {
    impl_->Remove(target);
  }
}

std::vector<std::u16string> FakeFileSystem::WholeFolders() {
  if (impl_->Log("WholeFolders")) return {};
  std::vector<std::u16string> folders;
  for (const std::string& folder : whole_folders) folders.push_back(Widen(folder));
  return folders;
}

bool FakeFileSystem::WidenName(const std::string& text, std::u16string* wide) {
  if (impl_->Log("WidenName " + text)) return false;
  *wide = Widen(text);
  return true;
}

bool FakeFileSystem::SameFileName(std::u16string_view a, std::u16string_view b) {
  return SameNameIgnoringCase(a, b);
}

}  // namespace uninstall
