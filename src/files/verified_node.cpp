#include "files/verified_node.h"

#include <cstring>
#include <utility>

#include "common/paths.h"

namespace uninstall {
namespace {

// A directory opened by its name is the directory that its parent lists under that name, and no
// link. Wine opens a name and works out its final path in two steps, between which the
// directory can be swapped for a link: the final path then names this directory while the
// handle is on what the link points to. (A file is only ever deleted by its own name, which
// the system never follows; a link held as itself is never entered.)
bool IsListedAs(FileSystem& fs, NodeHandle handle, std::uint32_t attributes,
                const VerifiedNode& parent, const std::u16string& name) {
  if ((attributes & (kAttributeDirectory | kAttributeReparsePoint)) != kAttributeDirectory) {
    return true;
  }
  std::uint64_t id = 0;
  ListedName entry;
  return fs.NodeId(handle, &id) && fs.FindListedEntry(parent.handle(), name, &entry) &&
         (entry.attributes & kAttributeReparsePoint) == 0 && entry.id == id;
}

// The errors of an opening for deletion that an opening only to look may not meet: no right to
// delete, or another handle that does not share deletion (a program's current directory, say).
bool RefusesDeletion(std::uint32_t error) {
  return error == kErrorAccessDenied || error == kErrorSharingViolation;
}

// `open(access, &error)`, and once more without the right to delete where the system refuses
// that.
template <typename Open>
NodeHandle OpenGivingUpDeletion(std::uint32_t access, Open open) {
  std::uint32_t error = 0;
  NodeHandle handle = open(access, &error);
  if (!handle.valid() && (access & kNodeDelete) != 0 && RefusesDeletion(error)) {
    handle = open(access & ~kNodeDelete, &error);
  }
  return handle;
}

// A node is handed out only when it is known to be where its name says: its attributes (unless
// it was opened as a file) and its final path could be read, and, below `parent` when one is
// given, it is `name` there.
// *elsewhere tells whether it was refused for that last reason.
VerifiedNode Verify(FileSystem& fs, NodeHandle handle, std::uint32_t access,
                    const VerifiedNode* parent, const std::u16string& name, bool* elsewhere) {
  if (!handle.valid()) return VerifiedNode();
  // A node opened as a file only is one: the system refused a directory, or a link to one, and
  // read-only shows when its deletion is refused. Only a directory's attributes are asked for.
  std::uint32_t attributes = 0;
  std::u16string final_path;
  if (((access & kNodeFileOnly) != 0 || fs.NodeAttributes(handle, &attributes)) &&
      fs.FinalPath(handle, &final_path)) {
    if (parent == nullptr || (LiesDirectlyIn(fs, final_path, parent->final_path(), name) &&
                              IsListedAs(fs, handle, attributes, *parent, name))) {
      return VerifiedNode(fs, handle, attributes, std::move(final_path));
    }
    if (elsewhere != nullptr) *elsewhere = true;
  }
  fs.CloseNode(handle);
  return VerifiedNode();
}

// A directory by its path, links followed; deletion given up where the system refuses it.
VerifiedNode OpenByPath(FileSystem& fs, const std::string& path, std::uint32_t access) {
  std::u16string wide;
  if (!fs.WidenName(path, &wide)) return VerifiedNode();
  const NodeHandle handle = OpenGivingUpDeletion(
      access, [&](std::uint32_t a, std::uint32_t* e) { return fs.OpenDirectoryPath(wide, a, e); });
  return Verify(fs, handle, access, nullptr, u"", nullptr);
}

}  // namespace

bool LiesDirectlyIn(FileNames& names, std::u16string_view path, std::u16string_view directory,
                    std::u16string_view name) {
  while (!directory.empty() && directory.back() == u'\\') directory.remove_suffix(1);
  if (directory.empty() || path.size() <= directory.size() + 1) return false;
  // Mostly the very same characters: only where they differ is the system asked (a deep tree's
  // paths are long).
  const std::u16string_view above = path.substr(0, directory.size());
  if (path[directory.size()] != u'\\' ||
      (std::memcmp(above.data(), directory.data(), directory.size() * sizeof(char16_t)) != 0 &&
       !names.SameFileName(above, directory))) {
    return false;
  }
  const std::u16string_view own_name = path.substr(directory.size() + 1);
  if (own_name.find(u'\\') != std::u16string_view::npos) return false;
  return names.SameFileName(own_name, name) || name.find(u'~') != std::u16string_view::npos;
}

VerifiedNode::VerifiedNode(FileSystem& fs, NodeHandle handle, std::uint32_t attributes,
                           std::u16string final_path)
    : fs_(&fs), handle_(handle), attributes_(attributes), final_path_(std::move(final_path)) {}

VerifiedNode::VerifiedNode(VerifiedNode&& other) noexcept
    : fs_(other.fs_),
      handle_(std::exchange(other.handle_, {})),
      attributes_(other.attributes_),
      final_path_(std::move(other.final_path_)) {}

VerifiedNode& VerifiedNode::operator=(VerifiedNode&& other) noexcept {
  if (this != &other) {
    Close();
    fs_ = other.fs_;
    handle_ = std::exchange(other.handle_, {});
    attributes_ = other.attributes_;
    final_path_ = std::move(other.final_path_);
  }
  return *this;
}

bool VerifiedNode::MarkForDeletion(Force force) {
  if (!handle_.valid()) return false;
  if (fs_->DeleteOnClose(handle_)) return true;
  // Refused: read-only, or a directory that is not empty. By force the attributes are cleared
  // through the same handle, and the deletion asked for once more.
  return force == Force::kYes && fs_->SetNodeAttributes(handle_, kAttributeNormal) &&
         fs_->DeleteOnClose(handle_);
}

void VerifiedNode::Close() {
  if (handle_.valid()) fs_->CloseNode(std::exchange(handle_, {}));
}

bool DeleteNow(VerifiedNode node, Force force) {
  const bool marked = node.MarkForDeletion(force);
  node.Close();
  return marked;
}

VerifiedNode OpenVerified(FileSystem& fs, const VerifiedNode& parent, const std::u16string& name,
                          std::uint32_t access, bool* elsewhere) {
  if (elsewhere != nullptr) *elsewhere = false;
  if (!parent.is_directory()) return VerifiedNode();
  const NodeHandle handle = OpenGivingUpDeletion(access, [&](std::uint32_t a, std::uint32_t* e) {
    return fs.OpenNode(parent.handle(), name, a, e);
  });
  return Verify(fs, handle, access, &parent, name, elsewhere);
}

bool IsStillNamed(FileSystem& fs, const VerifiedNode& directory, const VerifiedNode& parent,
                  const std::u16string& name) {
  return directory.is_directory() && parent.is_directory() &&
         IsListedAs(fs, directory.handle(), directory.attributes(), parent, name);
}

VerifiedNode OpenBase(FileSystem& fs, const std::string& path, BaseName name, VerifiedNode* parent,
                      std::u16string* own_name) {
  const std::string trimmed = WithoutTrailingSeparators(path, kPathSeparators);
  if (trimmed.empty()) return VerifiedNode();
  const std::uint32_t access = kNodeDelete | kNodeList;
  if (name == BaseName::kTrusted || IsDriveRoot(path)) return OpenByPath(fs, path, access);
  const std::string parent_path = DirectoryPart(trimmed);
  const std::optional<std::vector<std::u16string>> names =
      NamesOf(fs, trimmed.substr(parent_path.size()));
  if (parent_path.empty() || !names || names->size() != 1) return VerifiedNode();
  VerifiedNode opened_parent = OpenByPath(fs, parent_path, kNodeList);
  VerifiedNode base = OpenVerified(fs, opened_parent, names->front(), access);
  if (parent != nullptr) *parent = std::move(opened_parent);
  if (own_name != nullptr) *own_name = names->front();
  return base;
}

VerifiedNode OpenKeptDirectory(FileSystem& fs, const std::string& path) {
  return OpenByPath(fs, path, kNodeList);
}

VerifiedNode Reopened(FileSystem& fs, const VerifiedNode& directory, std::uint32_t access) {
  if (!directory.valid()) return VerifiedNode();
  const NodeHandle handle = OpenGivingUpDeletion(access, [&](std::uint32_t a, std::uint32_t* e) {
    return fs.OpenNode(directory.handle(), u"", a, e);
  });
  return Verify(fs, handle, access, nullptr, u"", nullptr);
}

bool HoldsNothing(FileSystem& fs, const VerifiedNode& directory) {
  // A directory other than a drive root lists "." and ".." at least: a first call that brings
  // nothing means that it could not be listed.
  std::vector<ListedName> entries;
  if (!fs.ListNode(directory.handle(), ListFrom::kStart, &entries)) return false;
  do {
    for (const ListedName& entry : entries) {
      if (entry.name != u"." && entry.name != u"..") return false;
    }
  } while (fs.ListNode(directory.handle(), ListFrom::kNext, &entries));
  return true;
}

}  // namespace uninstall
