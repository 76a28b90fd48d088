#include "model/memory_file_system.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <string_view>

#include "model/node_rules.h"
#include "names/code_page_names.h"
#include "names/encodings.h"
#include "names/name_case.h"

namespace uninstall {
namespace {

constexpr std::uint32_t kErrorInvalidParameter = 87;
constexpr std::uint32_t kShareWrite = 0x2;
// How many entries one listing call hands out: small, so that callers meet the next call.
constexpr std::size_t kListBatch = 3;

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }
bool IsLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }
bool IsDots(std::u16string_view name) { return name == u"." || name == u".."; }

// Wildcard match as the search call does it, on folded names: `*` any run, `?` one character.
bool MatchesGlob(std::u16string_view pattern, std::u16string_view name) {
  std::size_t p = 0, n = 0, star = std::u16string_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      star = p++;
      resume = n;
    } else if (star != std::u16string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

// A trailing ".*" also matches names without an extension, so "*.*" matches every name.
bool MatchesPattern(std::u16string_view pattern, std::u16string_view name) {
  const std::u16string folded_pattern = UpcasedName(pattern);
  const std::u16string folded_name = UpcasedName(name);
  if (MatchesGlob(folded_pattern, folded_name)) return true;
  const std::u16string_view shorter(folded_pattern);
  return shorter.size() >= 2 && shorter.substr(shorter.size() - 2) == u".*" &&
         MatchesGlob(shorter.substr(0, shorter.size() - 2), folded_name);
}

struct Node {
  std::u16string name;  // as created: "C:", "\\srv\share" or an entry name
  bool directory = false;
  std::uint32_t attributes = 0;
  std::uint64_t id = 0;  // the system's, for a copied node
  std::string contents;
  std::optional<std::uint64_t> reported_size;
  bool held_open = false;
  bool link = false;
  std::u16string link_target;  // a junction: its contents are those of this path
  // Of a copied node: whether it is the system's, and what is still to be read of it.
  bool copied = false;
  bool entries_unread = false;
  bool contents_unread = false;
  bool target_unread = false;
  Node* parent = nullptr;
  bool detached = false;  // deleted or moved away while a handle was open on it
  std::map<std::u16string, std::unique_ptr<Node>> children;  // by folded name

  std::uint64_t Size() const { return reported_size ? *reported_size : contents.size(); }
  std::uint64_t Id() const { return id != 0 ? id : reinterpret_cast<std::uintptr_t>(this); }

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
  std::u16string root_key;
  std::u16string root_name;
  std::vector<std::u16string> parts;
  bool trailing_separator = false;
};

std::optional<ParsedPath> Parse(std::u16string_view path) {
  ParsedPath parsed;
  std::u16string_view rest;
  if (path.size() >= 2 && path[1] == u':' && IsLetter(path[0])) {
    parsed.root_name = UpcasedName(path.substr(0, 2));
    rest = path.substr(2);
    if (!rest.empty() && !IsSeparator(rest[0])) return std::nullopt;  // drive-relative
  } else if (path.size() > 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    std::size_t server_end = 2;
    while (server_end < path.size() && !IsSeparator(path[server_end])) ++server_end;
    if (server_end == path.size() || server_end == 2) return std::nullopt;
    std::size_t share_end = server_end + 1;
    while (share_end < path.size() && !IsSeparator(path[share_end])) ++share_end;
    if (share_end == server_end + 1) return std::nullopt;
    parsed.root_name = u"\\\\" + std::u16string(path.substr(2, share_end - 2));
    parsed.root_name[server_end] = u'\\';
    rest = path.substr(share_end);
  } else {
    return std::nullopt;
  }
  parsed.root_key = UpcasedName(parsed.root_name);
  std::size_t start = 0;
  while (start <= rest.size()) {
    std::size_t end = start;
    while (end < rest.size() && !IsSeparator(rest[end])) ++end;
    const std::u16string_view part = rest.substr(start, end - start);
    if (part == u"..") {
      if (!parsed.parts.empty()) parsed.parts.pop_back();
    } else if (!part.empty() && part != u".") {
      parsed.parts.emplace_back(part);
    }
    start = end + 1;
  }
  parsed.trailing_separator = !parsed.parts.empty() && IsSeparator(rest.back());
  return parsed;
}

struct Drive {
  std::uint32_t type = kDriveFixed;
  std::unique_ptr<Node> root;
};

struct Search {
  std::string text;                     // the pattern as given, for the log
  std::u16string directory;             // path of the directory searched
  std::vector<std::u16string> matches;  // "." / ".." / folded child names, in order
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
  std::optional<std::u16string> name_path;  // the final path it reports, when by name
  NodeHandle system;                        // the system's handle on a copied node
  std::u16string opened_path;               // the path it was opened by, if by one
  bool delete_on_close = false;
  std::vector<std::u16string> listing;  // "." / ".." / folded child names, from a restart
  std::size_t listed = 0;
};

// Whether an open with `access`/`share` can coexist with an existing one.
bool SharingAllows(std::uint32_t old_access, std::uint32_t old_share, std::uint32_t access,
                   std::uint32_t share) {
  if ((access & kGenericWrite) && !(old_share & kShareWrite)) return false;
  if ((access & kGenericRead) && !(old_share & kShareRead)) return false;
  if ((old_access & kGenericWrite) && !(share & kShareWrite)) return false;
  if ((old_access & kGenericRead) && !(share & kShareRead)) return false;
  return true;
}

// A path the system gives as normalized ("\\?\C:\x", "\\?\UNC\srv\share\x") as a plain one.
std::u16string PlainPath(std::u16string_view normalized) {
  if (normalized.substr(0, 8) == u"\\\\?\\UNC\\") {
    return u"\\\\" + std::u16string(normalized.substr(8));
  }
  if (normalized.substr(0, 4) == u"\\\\?\\") return std::u16string(normalized.substr(4));
  return std::u16string(normalized);
}

}  // namespace

struct MemoryFileSystem::Impl {
  MemoryFileSystem* owner = nullptr;
  FileSystem* system = nullptr;            // what a copy reads from
  std::map<std::u16string, Drive> drives;  // by folded root name
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
  std::uintptr_t next_handle = 0x100;
  std::uint32_t last_disposition = 0;
  std::optional<std::uint64_t> disk_space;         // bytes that can still be written
  std::map<std::u16string, std::string> security;  // by folded path

  // How names are read: as the system reads them, or in the Western code page.
  FileNames& Names() {
    if (system != nullptr) return *system;
    return western;
  }
  CodePageNames western{kWesternCodePage};

  std::u16string Widen(std::string_view text) {
    std::u16string wide;
    // Bytes that are no text of the code page stand for themselves.
    if (!Names().WidenName(std::string(text), &wide)) wide.assign(text.begin(), text.end());
    return wide;
  }

  // A name as the 8-bit calls give it: a character the code page has no byte for as "?".
  std::string Narrow(std::u16string_view wide) {
    std::string text;
    if (Names().NarrowName(wide, &text)) return text;
    text.clear();
    for (char16_t c : wide) {
      std::string one;
      text += Names().NarrowName(std::u16string_view(&c, 1), &one) ? one : "?";
    }
    return text;
  }

  std::optional<ParsedPath> ParseText(std::string_view path) { return Parse(Widen(path)); }

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

  Node* RootOf(const ParsedPath& parsed) {
    auto drive = drives.find(parsed.root_key);
    if (drive != drives.end()) return drive->second.root.get();
    if (system == nullptr) return nullptr;
    // A copy learns of a drive or share the first time it is named.
    const std::string root = Narrow(parsed.root_name) + "\\";
    std::uint32_t type = kDriveRemote;
    if (parsed.root_name.size() == 2) {
      type = system->DriveTypeOf(root);
      if (type <= kDriveNoRootDir) return nullptr;
    } else {
      const std::uint32_t attributes = system->AttributesOf(root);
      if (attributes == kInvalidAttributes || !(attributes & kAttributeDirectory)) return nullptr;
    }
    Node* node = AddRoot(parsed, type);
    node->copied = true;
    node->entries_unread = true;
    return node;
  }

  // A copied directory's entries, read through `listed` (a handle of the system's on it) or its
  // path, the first time they are needed.
  std::map<std::u16string, std::unique_ptr<Node>>& Children(Node* node, NodeHandle listed = {}) {
    if (!node->entries_unread) return node->children;
    node->entries_unread = false;
    std::uint32_t error = 0;
    NodeHandle directory;
    if (listed.valid()) {
      directory = system->OpenNode(listed, u"", kNodeList, &error);
    } else if (const std::optional<std::u16string> path = WidePathOf(node)) {
      directory = system->OpenDirectoryPath(*path, kNodeList, &error);
    }
    if (!directory.valid()) return node->children;
    std::vector<ListedName> entries;
    for (ListFrom from = ListFrom::kStart; system->ListNode(directory, from, &entries);
         from = ListFrom::kNext) {
      for (ListedName& entry : entries) {
        if (IsDots(entry.name)) continue;
        auto& child = node->children[UpcasedName(entry.name)];
        if (child) continue;
        child = std::make_unique<Node>();
        child->name = std::move(entry.name);
        child->attributes = entry.attributes;
        child->id = entry.id;
        child->parent = node;
        child->copied = true;
        child->directory = (entry.attributes & kAttributeDirectory) != 0;
        child->link = child->directory && (entry.attributes & kAttributeReparsePoint) != 0;
        child->target_unread = child->link;
        child->entries_unread = child->directory && !child->link;
        child->contents_unread = !child->directory;
      }
    }
    system->CloseNode(directory);
    return node->children;
  }

  Node* Child(Node* directory, std::u16string_view name, NodeHandle listed = {}) {
    auto& children = Children(directory, listed);
    auto child = children.find(UpcasedName(name));
    return child == children.end() ? nullptr : child->second.get();
  }

  // What a junction stands for when something is looked up inside it.
  Node* Resolve(Node* node, int depth = 0) {
    if (node == nullptr || !node->link) return node;
    if (depth > 8) return nullptr;
    if (node->target_unread) {
      // Where the system says the link leads.
      node->target_unread = false;
      std::uint32_t error = 0;
      const std::optional<std::u16string> path = WidePathOf(node);
      const NodeHandle target = path ? system->OpenDirectoryPath(*path, 0, &error) : NodeHandle();
      std::u16string normalized;
      if (target.valid() && system->NormalizedPath(target, &normalized)) {
        node->link_target = PlainPath(normalized);
      }
      if (target.valid()) system->CloseNode(target);
    }
    if (node->link_target.empty()) return nullptr;
    return Resolve(Lookup(node->link_target), depth + 1);
  }

  // The node named by the first `count` parts; junctions on the way are followed, a junction
  // at the end is the link itself.
  Node* Walk(const ParsedPath& parsed, std::size_t count) {
    Node* node = RootOf(parsed);
    for (std::size_t i = 0; i < count && node != nullptr; ++i) {
      node = Resolve(node);
      if (node == nullptr || !node->directory) return nullptr;
      node = Child(node, parsed.parts[i]);
    }
    return node;
  }

  // The node a path names; a trailing separator after a file names nothing.
  Node* Lookup(std::u16string_view path) {
    auto parsed = Parse(path);
    if (!parsed) return nullptr;
    Node* node = Walk(*parsed, parsed->parts.size());
    if (node != nullptr && parsed->trailing_separator && !node->directory) return nullptr;
    return node;
  }
  Node* Lookup(std::string_view path) { return Lookup(Widen(path)); }

  // Creates missing directories along the first `count` parts; nullptr when a file is in the way.
  Node* MakeDirectories(const ParsedPath& parsed, std::size_t count) {
    Node* node = RootOf(parsed);
    if (node == nullptr) {
      node = AddRoot(parsed, parsed.root_key.size() == 2 ? kDriveFixed : kDriveRemote);
    }
    for (std::size_t i = 0; i < count; ++i) {
      if (!node->directory) return nullptr;
      auto& child = Children(node)[UpcasedName(parsed.parts[i])];
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

  // A copied file's contents, read from the system at its first opening here.
  bool ReadContents(Node* node, const std::string& path, std::uint32_t share,
                    std::uint32_t* error) {
    if (!node->contents_unread) return true;
    const FileHandle file =
        system->OpenFile(path, kGenericRead, share, kOpenExisting, kAttributeNormal, error);
    if (!file.valid()) return false;
    std::string contents;
    char buffer[4096];
    std::uint32_t read = 0;
    while (system->ReadBytes(file, buffer, sizeof buffer, &read) && read > 0) {
      contents.append(buffer, read);
    }
    system->CloseFile(file);
    node->contents = std::move(contents);
    node->contents_unread = false;
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
      const std::u16string& key = search.matches[search.next++];
      if (IsDots(key)) {
        const Node* source = key == u"." ? directory : directory->parent;
        *entry = FoundEntry{source->attributes, 0, Narrow(key)};
        return true;
      }
      auto child = directory->children.find(key);
      if (child == directory->children.end()) continue;  // deleted since the search began
      const Node& node = *child->second;
      *entry = FoundEntry{node.attributes, node.directory ? 0 : node.Size(), Narrow(node.name)};
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
    if (opened->second.system.valid()) system->CloseNode(opened->second.system);
    const bool goes = pending.Closed(opened->second.node);
    nodes.erase(opened);
    return goes;
  }

  // Takes a node out of its parent; one that a handle is open on lives on, detached.
  void Remove(Node* node) {
    if (const std::optional<std::u16string> path = WidePathOf(node)) {
      owner->Removed(*path, node->directory);
    }
    if (node == last_path_node) ForgetLastName();
    auto entry = node->parent->children.find(UpcasedName(node->name));
    std::unique_ptr<Node> owned = std::move(entry->second);
    node->parent->children.erase(entry);
    node->parent = nullptr;
    node->detached = true;
    if (pending.HasHandles(node)) detached.push_back(std::move(owned));
  }

  // The full path of a node ("C:\App\x"), or nothing when it is no longer in the tree.
  std::optional<std::u16string> PathOf(const Node* node) const {
    std::u16string path;
    for (; node != nullptr; node = node->parent) {
      if (node->detached) return std::nullopt;
      if (node->parent == nullptr) return node->name + (path.empty() ? u"\\" : path);
      path = u"\\" + node->name + path;
    }
    return std::nullopt;
  }

  // PathOf, with the path of the node asked for last kept, so that the path of one of its
  // children (what a walk down a tree asks for next) is that path and one name more, not a walk
  // up to the root: a tree may be a hundred thousand levels deep.
  std::optional<std::u16string> WidePathOf(const Node* node) {
    if (node->detached) return std::nullopt;
    if (last_path_node != nullptr && last_path_node->parent == node) ForgetLastName();
    if (last_path_node != nullptr && node->parent == last_path_node) {
      if (last_path.back() != u'\\') last_path += u'\\';
      last_path += node->name;
    } else if (node != last_path_node) {
      const std::optional<std::u16string> path = PathOf(node);
      if (!path) return std::nullopt;
      last_path = *path;
    }
    last_path_node = node;
    return last_path;
  }

  // The kept path becomes that of its node's parent (what a removal from the bottom up asks for
  // next).
  void ForgetLastName() {
    last_path.resize(last_path.size() - last_path_node->name.size());
    last_path_node = last_path_node->parent;
    if (last_path_node != nullptr && last_path_node->parent != nullptr) last_path.pop_back();
  }

  // Where the system says an open node is, after `prefix`: the name it was opened by as it led
  // then (Wine's way, with final paths by name), or where the node now is.
  bool ReportedPath(NodeHandle handle, std::u16string_view prefix, std::u16string* path) {
    auto found = nodes.find(handle);
    if (found == nodes.end()) return false;
    std::optional<std::u16string> full =
        found->second.name_path ? found->second.name_path : WidePathOf(found->second.node);
    if (!full) return false;
    path->reserve(prefix.size() + full->size());
    path->assign(prefix);
    path->append(*full);
    return true;
  }

  // Where a path leads now, every link followed; nothing when it leads nowhere.
  std::optional<std::u16string> RealPath(std::u16string_view path) {
    const Node* node = Resolve(Lookup(path));
    return node == nullptr ? std::nullopt : PathOf(node);
  }

  // The system's handle beside one opened here, for what names a copied node.
  NodeHandle SystemHandle(NodeHandle handle) const {
    auto found = nodes.find(handle);
    return found == nodes.end() ? NodeHandle() : found->second.system;
  }

  void CollectPaths(const Node& node, const std::u16string& prefix,
                    std::vector<std::string>* paths) {
    for (const auto& [key, child] : node.children) {
      std::u16string path = prefix + child->name;
      if (child->directory) {
        paths->push_back(Narrow(path) + "\\");
        CollectPaths(*child, path + u"\\", paths);
      } else {
        paths->push_back(Narrow(path));
      }
    }
  }
};

MemoryFileSystem::MemoryFileSystem() : impl_(std::make_unique<Impl>()) { impl_->owner = this; }

MemoryFileSystem::MemoryFileSystem(FileSystem& system) : MemoryFileSystem() {
  impl_->system = &system;
}

MemoryFileSystem::~MemoryFileSystem() = default;

void MemoryFileSystem::Removed(const std::u16string&, bool) {}

void MemoryFileSystem::AddDrive(char letter, std::uint32_t type) {
  impl_->AddRoot(*Parse(UpcasedName(std::u16string{static_cast<char16_t>(letter), u':'})), type);
}

void MemoryFileSystem::AddDirectory(const std::string& path, std::uint32_t attributes) {
  auto parsed = impl_->ParseText(path);
  if (!parsed) return;
  Node* node = impl_->MakeDirectories(*parsed, parsed->parts.size());
  if (node != nullptr && !parsed->parts.empty()) {
    node->attributes = attributes | kAttributeDirectory;
  }
}

void MemoryFileSystem::AddFile(const std::string& path, const std::string& contents,
                               std::uint32_t attributes) {
  auto parsed = impl_->ParseText(path);
  if (!parsed || parsed->parts.empty()) return;
  Node* parent = impl_->MakeDirectories(*parsed, parsed->parts.size() - 1);
  if (parent == nullptr) return;
  auto& node = parent->children[UpcasedName(parsed->parts.back())];
  if (!node) {
    node = std::make_unique<Node>();
    node->name = parsed->parts.back();
    node->parent = parent;
  } else if (node->directory) {
    return;
  }
  node->contents = contents;
  node->contents_unread = false;
  node->reported_size.reset();
  node->attributes = attributes & ~kAttributeDirectory;
}

void MemoryFileSystem::SetReportedSize(const std::string& path, std::uint64_t size) {
  Node* node = impl_->Lookup(path);
  if (node != nullptr && !node->directory) node->reported_size = size;
}

void MemoryFileSystem::AddLink(const std::string& path, const std::string& target) {
  AddDirectory(path, kAttributeDirectory | kAttributeReparsePoint);
  Node* node = impl_->Lookup(path);
  if (node == nullptr) return;
  node->link = true;
  node->link_target = impl_->Widen(target);
}

void MemoryFileSystem::SetDiskSpace(std::uint64_t bytes) { impl_->disk_space = bytes; }

void MemoryFileSystem::HoldOpen(const std::string& path, bool held) {
  Node* node = impl_->Lookup(path);
  if (node != nullptr) node->held_open = held;
}

bool MemoryFileSystem::Exists(const std::string& path) const {
  return impl_->Lookup(path) != nullptr;
}

bool MemoryFileSystem::IsDirectory(const std::string& path) const {
  Node* node = impl_->Lookup(path);
  return node != nullptr && node->directory;
}

std::string MemoryFileSystem::Contents(const std::string& path) const {
  Node* node = impl_->Lookup(path);
  return node == nullptr ? std::string() : node->contents;
}

std::uint32_t MemoryFileSystem::Attributes(const std::string& path) const {
  Node* node = impl_->Lookup(path);
  return node == nullptr ? kInvalidAttributes : node->attributes;
}

std::vector<std::string> MemoryFileSystem::AllPaths() const {
  std::vector<std::string> paths;
  for (const auto& [key, drive] : impl_->drives) {
    impl_->CollectPaths(*drive.root, drive.root->name + u"\\", &paths);
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

int MemoryFileSystem::OpenHandles() const {
  return static_cast<int>(impl_->searches.size() + impl_->files.size() + impl_->nodes.size());
}

bool MemoryFileSystem::Rename(const std::string& from, const std::string& to) {
  impl_->last_path_node = nullptr;
  Node* node = impl_->Lookup(from);
  auto parsed = impl_->ParseText(to);
  if (node == nullptr || node->parent == nullptr || !parsed || parsed->parts.empty()) return false;
  Node* parent = impl_->Resolve(impl_->Walk(*parsed, parsed->parts.size() - 1));
  const std::u16string key = UpcasedName(parsed->parts.back());
  if (parent == nullptr || !parent->directory || impl_->Children(parent).count(key) != 0) {
    return false;
  }
  auto entry = node->parent->children.find(UpcasedName(node->name));
  std::unique_ptr<Node> owned = std::move(entry->second);
  node->parent->children.erase(entry);
  node->name = parsed->parts.back();
  node->parent = parent;
  parent->children[key] = std::move(owned);
  return true;
}

void MemoryFileSystem::SetOpensFollowLinks(bool follow) { impl_->opens_follow_links = follow; }

void MemoryFileSystem::SetFinalPathsByName(bool by_name) { impl_->final_paths_by_name = by_name; }

void MemoryFileSystem::SetNormalizedPathsAsOpened(bool as_opened) {
  impl_->normalized_paths_as_opened = as_opened;
}

std::string MemoryFileSystem::NodeText(NodeHandle handle) {
  auto found = impl_->nodes.find(handle);
  if (found == impl_->nodes.end()) return std::to_string(handle.value());
  const std::optional<std::u16string> path = impl_->WidePathOf(found->second.node);
  return path ? impl_->Narrow(*path) : "(gone) " + impl_->Narrow(found->second.node->name);
}

std::string MemoryFileSystem::FileText(FileHandle file) const {
  auto found = impl_->files.find(file);
  return found == impl_->files.end() ? std::to_string(file.value()) : found->second.path;
}

std::string MemoryFileSystem::SearchText(SearchHandle search) const {
  auto found = impl_->searches.find(search);
  return found == impl_->searches.end() ? std::to_string(search.value()) : found->second.text;
}

SearchHandle MemoryFileSystem::FindFirst(const std::string& pattern, FoundEntry* entry,
                                         std::uint32_t* error) {
  auto fail = [error](std::uint32_t code) {
    if (error != nullptr) *error = code;
    return SearchHandle{0};
  };
  auto parsed = impl_->ParseText(pattern);
  if (!parsed) return fail(kErrorPathNotFound);
  // A root or a trailing separator leaves no name to look for.
  if (parsed->parts.empty() || parsed->trailing_separator) {
    return fail(impl_->RootOf(*parsed) ? kErrorFileNotFound : kErrorPathNotFound);
  }
  Node* directory = impl_->Resolve(impl_->Walk(*parsed, parsed->parts.size() - 1));
  if (directory == nullptr || !directory->directory) return fail(kErrorPathNotFound);

  Search search;
  search.text = pattern;
  const std::u16string& name_pattern = parsed->parts.back();
  if (directory->parent != nullptr) {
    for (const char16_t* dots : {u".", u".."}) {
      if (MatchesPattern(name_pattern, dots)) search.matches.push_back(dots);
    }
  }
  for (const auto& [key, child] : impl_->Children(directory)) {
    if (MatchesPattern(name_pattern, child->name)) search.matches.push_back(key);
  }
  search.directory = parsed->root_name + u"\\";
  for (std::size_t i = 0; i + 1 < parsed->parts.size(); ++i) {
    search.directory += parsed->parts[i] + u"\\";
  }
  FoundEntry first;
  if (!impl_->NextMatch(search, &first)) return fail(kErrorFileNotFound);
  if (entry != nullptr) *entry = first;
  const SearchHandle handle(impl_->NewHandle());
  impl_->searches[handle] = std::move(search);
  return handle;
}

bool MemoryFileSystem::FindNext(SearchHandle search, FoundEntry* entry) {
  auto found = impl_->searches.find(search);
  if (found == impl_->searches.end()) return false;
  FoundEntry next;
  if (!impl_->NextMatch(found->second, &next)) return false;
  if (entry != nullptr) *entry = next;
  return true;
}

void MemoryFileSystem::CloseSearch(SearchHandle search) { impl_->searches.erase(search); }

std::uint32_t MemoryFileSystem::DriveTypeOf(const std::string& root) {
  if (impl_->system != nullptr) return impl_->system->DriveTypeOf(root);
  auto parsed = impl_->ParseText(root);
  if (!parsed || !parsed->parts.empty()) return kDriveNoRootDir;
  auto drive = impl_->drives.find(parsed->root_key);
  return drive == impl_->drives.end() ? kDriveNoRootDir : drive->second.type;
}

std::uint32_t MemoryFileSystem::AttributesOf(const std::string& path) {
  Node* node = impl_->Lookup(path);
  return node == nullptr ? kInvalidAttributes : node->attributes;
}

bool MemoryFileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
  Node* node = impl_->Lookup(path);
  if (node == nullptr) return false;
  node->attributes = AttributesAfterSetting(node->attributes, attributes);
  return true;
}

bool MemoryFileSystem::EraseFile(const std::string& path) {
  Node* node = impl_->Lookup(path);
  if (node == nullptr || node->parent == nullptr ||
      !MayEraseFile(node->attributes, impl_->IsOpen(node))) {
    return false;
  }
  impl_->Remove(node);
  return true;
}

bool MemoryFileSystem::EraseDirectory(const std::string& path) {
  Node* node = impl_->Lookup(path);
  if (node == nullptr || node->parent == nullptr ||
      !MayEraseDirectory(node->attributes, impl_->Children(node).empty())) {
    return false;
  }
  impl_->Remove(node);
  return true;
}

std::uint32_t MemoryFileSystem::LastDisposition() const { return impl_->last_disposition; }

FileHandle MemoryFileSystem::OpenFile(const std::string& path, std::uint32_t access,
                                      std::uint32_t share, std::uint32_t disposition,
                                      std::uint32_t attributes, std::uint32_t* error) {
  impl_->last_disposition = disposition;
  auto fail = [error](std::uint32_t code) {
    if (error != nullptr) *error = code;
    return FileHandle{0};
  };
  if (disposition < kCreateNew || disposition > kTruncateExisting) {
    return fail(kErrorInvalidParameter);
  }
  auto parsed = impl_->ParseText(path);
  if (!parsed || !impl_->RootOf(*parsed)) return fail(kErrorPathNotFound);
  if (parsed->parts.empty()) return fail(kErrorAccessDenied);
  Node* parent = impl_->Resolve(impl_->Walk(*parsed, parsed->parts.size() - 1));
  if (parent == nullptr || !parent->directory) return fail(kErrorPathNotFound);
  Node* node = impl_->Child(parent, parsed->parts.back());
  if (node != nullptr && parsed->trailing_separator && !node->directory) {
    return fail(kErrorPathNotFound);
  }

  if (node == nullptr) {
    if (disposition == kOpenExisting || disposition == kTruncateExisting) {
      return fail(kErrorFileNotFound);
    }
    auto& created = parent->children[UpcasedName(parsed->parts.back())];
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
      node->contents_unread = false;
      node->reported_size.reset();
    }
    if (!impl_->ReadContents(node, path, share, error)) return {};
  }
  const FileHandle handle(impl_->NewHandle());
  impl_->files[handle] = OpenedFile{node, path, access, share, 0};
  return handle;
}

FileHandle MemoryFileSystem::CreateProtectedFile(const std::string& path,
                                                 const std::string& security,
                                                 std::uint32_t* error) {
  const FileHandle handle = MemoryFileSystem::OpenFile(
      path, kGenericRead | kGenericWrite, kShareRead, kCreateNew, kAttributeNormal, error);
  if (handle.valid()) impl_->security[UpcasedName(impl_->Widen(path))] = security;
  return handle;
}

std::string MemoryFileSystem::SecurityOf(const std::string& path) const {
  auto found = impl_->security.find(UpcasedName(impl_->Widen(path)));
  return found == impl_->security.end() ? "" : found->second;
}

std::int64_t MemoryFileSystem::SizeOfFile(FileHandle file) {
  auto found = impl_->files.find(file);
  if (found == impl_->files.end()) return -1;
  return static_cast<std::int64_t>(found->second.node->Size());
}

bool MemoryFileSystem::ReadBytes(FileHandle file, void* buffer, std::uint32_t count,
                                 std::uint32_t* read) {
  if (read != nullptr) *read = 0;
  auto found = impl_->files.find(file);
  if (found == impl_->files.end()) return false;
  OpenedFile& opened = found->second;
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

bool MemoryFileSystem::WriteBytes(FileHandle file, const void* buffer, std::uint32_t count,
                                  std::uint32_t* written) {
  if (written != nullptr) *written = 0;
  auto found = impl_->files.find(file);
  if (found == impl_->files.end()) return false;
  OpenedFile& opened = found->second;
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

bool MemoryFileSystem::MovePointer(FileHandle file, std::int64_t distance, MoveFrom from) {
  auto found = impl_->files.find(file);
  if (found == impl_->files.end()) return false;
  OpenedFile& opened = found->second;
  std::int64_t target =
      (from == MoveFrom::kStart ? 0 : static_cast<std::int64_t>(opened.position)) + distance;
  if (target < 0) return false;
  opened.position = static_cast<std::uint64_t>(target);
  return true;
}

void MemoryFileSystem::CloseFile(FileHandle file) { impl_->files.erase(file); }

NodeHandle MemoryFileSystem::OpenDirectoryPath(const std::u16string& path, std::uint32_t access,
                                               std::uint32_t* error) {
  auto fail = [error](std::uint32_t code) {
    if (error != nullptr) *error = code;
    return NodeHandle{0};
  };
  // Opened by its path, a link leads to what it points to, at the end as on the way.
  Node* node = impl_->Resolve(impl_->Lookup(std::u16string_view(path)));
  if (node == nullptr) return fail(kErrorPathNotFound);
  if (impl_->pending.IsPending(node)) return fail(kErrorAccessDenied);
  if (node->held_open && (access & kNodeDelete)) return fail(kErrorSharingViolation);
  OpenedNode opened;
  opened.node = node;
  opened.access = access;
  if (node->copied) {
    opened.system = impl_->system->OpenDirectoryPath(path, access & ~kNodeDelete, error);
    if (!opened.system.valid()) return {};
  }
  opened.opened_path = path;
  while (opened.opened_path.size() > 3 && IsSeparator(opened.opened_path.back())) {
    opened.opened_path.pop_back();
  }
  return impl_->AddNode(std::move(opened));
}

NodeHandle MemoryFileSystem::OpenNode(NodeHandle parent, const std::u16string& name,
                                      std::uint32_t access, std::uint32_t* error) {
  auto fail = [error](std::uint32_t code) {
    if (error != nullptr) *error = code;
    return NodeHandle{0};
  };
  auto opened_parent = impl_->nodes.find(parent);
  if (opened_parent == impl_->nodes.end()) return fail(kErrorInvalidParameter);
  const OpenedNode& above = opened_parent->second;
  OpenedNode opened;
  opened.access = access;
  if (name.empty()) {
    // The directory itself once more, wherever it now is.
    opened.node = above.node;
    opened.name_path = above.name_path;
    if (opened.node->detached) return fail(kErrorFileNotFound);
  } else {
    if (IsDots(name) || name.find_first_of(u"\\/") != std::u16string::npos) {
      return fail(kErrorInvalidName);
    }
    // Relative to the directory itself, wherever it now is; a link is not entered (its own
    // children are none).
    if (!above.node->directory) return fail(kErrorPathNotFound);
    opened.node = impl_->Child(above.node, name, above.system);
    if (opened.node == nullptr) return fail(kErrorFileNotFound);
    // As the system answers a name whose deletion waits for its last handle.
    if (impl_->pending.IsPending(opened.node)) return fail(kErrorAccessDenied);
    if (impl_->opens_follow_links) opened.node = impl_->Resolve(opened.node);
    if (opened.node == nullptr) return fail(kErrorFileNotFound);
    // Wine opens the name relative to the directory itself, but works out the final path anew
    // from the directory's name, as that name leads now.
    if (impl_->final_paths_by_name) {
      std::optional<std::u16string> parent_path =
          above.name_path ? above.name_path : impl_->PathOf(above.node);
      if (parent_path) {
        if (parent_path->back() != u'\\') *parent_path += u'\\';
        opened.name_path = impl_->RealPath(*parent_path + name);
      }
    }
  }
  Node* node = opened.node;
  // As the system answers a directory opened as a file only (STATUS_FILE_IS_A_DIRECTORY).
  if (!name.empty() && (access & kNodeFileOnly) != 0 && node->directory) {
    return fail(kErrorAccessDenied);
  }
  if (node->held_open && (access & kNodeDelete)) return fail(kErrorSharingViolation);
  if (node->copied && above.system.valid()) {
    opened.system = impl_->system->OpenNode(above.system, name, access & ~kNodeDelete, error);
    if (!opened.system.valid()) return {};
    // Where the system opens what a link leads to (Wine), so does its copy.
    std::uint32_t attributes = 0;
    if (node->link && impl_->system->NodeAttributes(opened.system, &attributes) &&
        (attributes & kAttributeReparsePoint) == 0) {
      opened.node = impl_->Resolve(node);
      if (opened.node == nullptr) {
        impl_->system->CloseNode(opened.system);
        return fail(kErrorFileNotFound);
      }
    }
  }
  return impl_->AddNode(std::move(opened));
}

bool MemoryFileSystem::NodeAttributes(NodeHandle node, std::uint32_t* attributes) {
  auto found = impl_->nodes.find(node);
  if (found == impl_->nodes.end()) return false;
  *attributes = found->second.node->attributes;
  return true;
}

bool MemoryFileSystem::FinalPath(NodeHandle node, std::u16string* path) {
  if (const NodeHandle system = impl_->SystemHandle(node); system.valid()) {
    return impl_->system->FinalPath(system, path);
  }
  return impl_->ReportedPath(node, u"\\??\\", path);
}

bool MemoryFileSystem::NormalizedPath(NodeHandle node, std::u16string* path) {
  if (const NodeHandle system = impl_->SystemHandle(node); system.valid()) {
    return impl_->system->NormalizedPath(system, path);
  }
  auto found = impl_->nodes.find(node);
  if (impl_->normalized_paths_as_opened && found != impl_->nodes.end() &&
      found->second.opened_path.rfind(u"\\\\", 0) == 0) {
    *path = u"\\\\?\\UNC\\" + found->second.opened_path.substr(2);
    return true;
  }
  return impl_->ReportedPath(node, u"\\\\?\\", path);
}

bool MemoryFileSystem::NodeId(NodeHandle node, std::uint64_t* id) {
  if (const NodeHandle system = impl_->SystemHandle(node); system.valid()) {
    return impl_->system->NodeId(system, id);
  }
  auto found = impl_->nodes.find(node);
  if (found == impl_->nodes.end()) return false;
  *id = found->second.node->Id();
  return true;
}

bool MemoryFileSystem::NodeIdentity(NodeHandle node, std::uint32_t* volume, std::uint64_t* id) {
  if (const NodeHandle system = impl_->SystemHandle(node); system.valid()) {
    return impl_->system->NodeIdentity(system, volume, id);
  }
  auto found = impl_->nodes.find(node);
  if (found == impl_->nodes.end()) return false;
  *volume = 0x43000000;
  *id = found->second.node->Id();
  return true;
}

bool MemoryFileSystem::FindListedEntry(NodeHandle directory, const std::u16string& name,
                                       ListedName* entry) {
  auto found = impl_->nodes.find(directory);
  if (found == impl_->nodes.end() || !found->second.node->directory) return false;
  Node* listed = impl_->Child(found->second.node, name, found->second.system);
  if (listed == nullptr) return false;
  // A link lists as one; Wine gives it the id of what it points to.
  const Node* identity = impl_->opens_follow_links ? impl_->Resolve(listed) : listed;
  *entry = ListedName{listed->name, listed->attributes, identity ? identity->Id() : 0};
  return true;
}

bool MemoryFileSystem::SetNodeAttributes(NodeHandle node, std::uint32_t attributes) {
  auto found = impl_->nodes.find(node);
  if (found == impl_->nodes.end() || !(found->second.access & kNodeDelete)) return false;
  found->second.node->attributes =
      AttributesAfterSetting(found->second.node->attributes, attributes);
  return true;
}

bool MemoryFileSystem::DeleteOnClose(NodeHandle node) {
  auto found = impl_->nodes.find(node);
  if (found == impl_->nodes.end()) return false;
  Node* target = found->second.node;
  if (target->parent == nullptr ||
      !MayMarkForDeletion(found->second.access, target->attributes,
                          impl_->Children(target, found->second.system).empty())) {
    return false;
  }
  found->second.delete_on_close = true;
  return true;
}

bool MemoryFileSystem::ListNode(NodeHandle directory, ListFrom from,
                                std::vector<ListedName>* entries) {
  entries->clear();
  auto found = impl_->nodes.find(directory);
  if (found == impl_->nodes.end() || !(found->second.access & kNodeList)) return false;
  OpenedNode& opened = found->second;
  Node* node = opened.node;
  if (!node->directory) return false;
  if (from == ListFrom::kStart) {
    opened.listing.clear();
    opened.listed = 0;
    if (node->parent != nullptr) opened.listing = {u".", u".."};
    for (const auto& [key, child] : impl_->Children(node, opened.system)) {
      opened.listing.push_back(key);
    }
  }
  while (opened.listed < opened.listing.size() && entries->size() < kListBatch) {
    const std::u16string& key = opened.listing[opened.listed++];
    if (IsDots(key)) {
      entries->push_back(ListedName{key, kAttributeDirectory, 0});
      continue;
    }
    auto child = node->children.find(key);
    if (child == node->children.end()) continue;  // gone since the listing began
    entries->push_back(
        ListedName{child->second->name, child->second->attributes, child->second->Id()});
  }
  return !entries->empty();
}

void MemoryFileSystem::CloseNode(NodeHandle node) {
  auto found = impl_->nodes.find(node);
  if (found == impl_->nodes.end()) return;
  Node* target = found->second.node;
  // Wine removes the name it worked out at the opening, and only while it still leads there.
  const std::optional<std::u16string> name_path = found->second.name_path;
  if (found->second.delete_on_close &&
      (!name_path || impl_->Resolve(impl_->Lookup(std::u16string_view(*name_path))) == target)) {
    impl_->pending.Mark(target);
  }
  // Only an empty directory goes, whatever appeared in it since.
  if (impl_->EraseNode(found) && !target->detached &&
      (!target->directory || target->children.empty())) {
    impl_->Remove(target);
  }
}

std::vector<std::u16string> MemoryFileSystem::WholeFolders() {
  if (impl_->system != nullptr) return impl_->system->WholeFolders();
  std::vector<std::u16string> folders;
  for (const std::string& folder : whole_folders) folders.push_back(impl_->Widen(folder));
  return folders;
}

bool MemoryFileSystem::WidenName(const std::string& text, std::u16string* wide) {
  return impl_->Names().WidenName(text, wide);
}

bool MemoryFileSystem::NarrowName(std::u16string_view wide, std::string* text) {
  return impl_->Names().NarrowName(wide, text);
}

bool MemoryFileSystem::SameFileName(std::u16string_view a, std::u16string_view b) {
  return impl_->Names().SameFileName(a, b);
}

}  // namespace uninstall
