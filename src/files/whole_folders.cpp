#include "files/whole_folders.h"

namespace uninstall {
namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

// Capitals, backslashes, no "\\?\" in front and no separator at the end; "\\?\UNC\server\..."
// becomes "\\server\...".
std::u16string Normalized(std::u16string_view path) {
  std::u16string result;
  if (path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) && path[2] == u'?' &&
      IsSeparator(path[3])) {
    path.remove_prefix(4);
    if (path.size() >= 4 && FoldedLetter(path[0]) == u'U' && FoldedLetter(path[1]) == u'N' &&
        FoldedLetter(path[2]) == u'C' && IsSeparator(path[3])) {
      path.remove_prefix(4);
      result = u"\\\\";
    }
  }
  for (char16_t c : path) result.push_back(IsSeparator(c) ? u'\\' : FoldedLetter(c));
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

}  // namespace

bool HoldsAWholeFolder(std::u16string_view directory, const std::vector<std::u16string>& folders) {
  const std::u16string own = Normalized(directory);
  if (own.empty()) return false;
  if (IsRoot(own)) return true;
  for (const std::u16string& folder : folders) {
    const std::u16string whole = Normalized(folder);
    if (whole.empty()) continue;
    if (whole == own || (whole.size() > own.size() && whole.compare(0, own.size(), own) == 0 &&
                         whole[own.size()] == u'\\')) {
      return true;
    }
  }
  return false;
}

bool HoldsAWholeFolder(FileSystem& fs, const VerifiedNode& directory) {
  std::u16string own;
  if (!directory.valid() || !fs.NormalizedPath(directory.handle(), &own)) return true;
  std::vector<std::u16string> folders;
  for (std::u16string& folder : fs.WholeFolders()) {
    std::uint32_t error = 0;
    const NodeHandle node = fs.OpenDirectoryPath(folder, 0, &error);
    if (node != 0) {
      std::u16string normalized;
      if (fs.NormalizedPath(node, &normalized)) folders.push_back(std::move(normalized));
      fs.CloseNode(node);
    }
    folders.push_back(std::move(folder));
  }
  return HoldsAWholeFolder(own, folders);
}

}  // namespace uninstall
