#include "files/whole_folders.h"

#include <algorithm>

#include "names/value_names.h"
#include "platform/scoped_handle.h"

namespace uninstall {
namespace {

bool IsAsciiLetter(char16_t c, char16_t capital) { return c == capital || c == capital + 0x20; }

// Backslashes, no "\\?\" in front and no separator at the end; "\\?\UNC\server\..." becomes
// "\\server\...". Letter case stays: names are compared as the system compares them.
std::u16string Normalized(std::u16string_view path) {
  std::u16string result;
  if (path.size() >= 4 && IsPathSeparator(path[0]) && IsPathSeparator(path[1]) && path[2] == u'?' &&
      IsPathSeparator(path[3])) {
    path.remove_prefix(4);
    if (path.size() >= 4 && IsAsciiLetter(path[0], u'U') && IsAsciiLetter(path[1], u'N') &&
        IsAsciiLetter(path[2], u'C') && IsPathSeparator(path[3])) {
      path.remove_prefix(4);
      result = u"\\\\";
    }
  }
  for (char16_t c : path) result.push_back(IsPathSeparator(c) ? u'\\' : c);
  while (!result.empty() && result.back() == u'\\') result.pop_back();
  return result;
}

// "C:" (a drive, its final separator gone) or "\\server\share".
bool IsRoot(std::u16string_view normal) {
  if (!normal.empty() && normal.back() == u':') return true;
  if (normal.size() < 3 || normal[0] != u'\\' || normal[1] != u'\\') return false;
  const std::size_t middle = normal.find(u'\\', 2);
  return middle != std::u16string_view::npos && middle > 2 && middle + 1 < normal.size() &&
         normal.find(u'\\', middle + 1) == std::u16string_view::npos;
}

// The normalized path of the directory `path` leads to; "" when it cannot be opened or read.
std::u16string NormalizedPathOf(FileSystem& fs, const std::u16string& path) {
  std::uint32_t error = 0;
  const ScopedNode node(fs, fs.OpenDirectoryPath(path, 0, &error));
  if (!node.valid()) return {};
  std::u16string normalized;
  if (!fs.NormalizedPath(node.get(), &normalized)) normalized.clear();
  return normalized;
}

bool IdentityOf(FileSystem& fs, const std::u16string& path, std::uint32_t* volume,
                std::uint64_t* id) {
  std::uint32_t error = 0;
  const ScopedNode node(fs, fs.OpenDirectoryPath(path, 0, &error));
  return node.valid() && fs.NodeIdentity(node.get(), volume, id);
}

// `path` without its last name; "" once it has none left.
std::u16string Parent(std::u16string path) {
  while (!path.empty() && IsPathSeparator(path.back())) path.pop_back();
  while (!path.empty() && !IsPathSeparator(path.back())) path.pop_back();
  while (!path.empty() && IsPathSeparator(path.back())) path.pop_back();
  return path;
}

// A path of a network share, as the system normalizes it: "\\?\UNC\..." or "\\server\...".
bool IsNetworkPath(std::u16string_view path) {
  const std::u16string normal = Normalized(path);
  return normal.size() > 2 && normal[0] == u'\\' && normal[1] == u'\\';
}

}  // namespace

bool HoldsAWholeFolder(FileNames& names, std::u16string_view directory,
                       const std::vector<std::u16string>& folders) {
  const std::u16string own = Normalized(directory);
  if (own.empty()) return false;
  if (IsRoot(own)) return true;
  for (const std::u16string& folder : folders) {
    const std::u16string whole = Normalized(folder);
    if (whole.size() < own.size() || (whole.size() > own.size() && whole[own.size()] != u'\\')) {
      continue;
    }
    if (names.SameFileName(std::u16string_view(whole).substr(0, own.size()), own)) return true;
  }
  return false;
}

bool HoldsAWholeFolder(FileSystem& fs, const VerifiedNode& directory) {
  std::u16string own;
  if (!directory.valid() || !fs.NormalizedPath(directory.handle(), &own)) return true;
  std::vector<std::u16string> folders = fs.WholeFolders();
  const std::size_t named = folders.size();
  for (std::size_t i = 0; i < named; ++i) {
    const std::u16string normalized = NormalizedPathOf(fs, folders[i]);
    if (!normalized.empty()) folders.push_back(normalized);
  }
  if (HoldsAWholeFolder(fs, own, folders)) return true;
  // A folder reached through a network share (a drive mapped to a share of this machine) has a
  // path of that share: only what it is tells. The folders and every folder above them, each
  // once, are compared with the directory. (Elsewhere the paths have told already: this costs a
  // question to the volume for each folder.)
  if (!IsNetworkPath(own)) return false;
  std::uint32_t own_volume = 0;
  std::uint64_t own_id = 0;
  if (!fs.NodeIdentity(directory.handle(), &own_volume, &own_id) || own_id == 0) return false;
  std::vector<std::u16string> seen;
  for (std::size_t i = 0; i < named; ++i) {
    for (std::u16string folder = folders[i]; !folder.empty(); folder = Parent(folder)) {
      const std::u16string normal = Normalized(folder);
      if (std::any_of(seen.begin(), seen.end(), [&](const std::u16string& earlier) {
            return fs.SameFileName(earlier, normal);
          })) {
        break;
      }
      seen.push_back(normal);
      if (IsRoot(normal)) break;
      std::uint32_t volume = 0;
      std::uint64_t id = 0;
      if (IdentityOf(fs, folder, &volume, &id) && volume == own_volume && id == own_id) {
        return true;
      }
    }
  }
  return false;
}

}  // namespace uninstall
