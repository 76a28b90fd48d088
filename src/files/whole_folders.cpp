#include "files/whole_folders.h"

#include "common/paths.h"

namespace uninstall {
namespace {

// Upper case for the letters of ASCII and of the Western code page's accented letters, the
// separators as backslashes, no final separator.
std::string Normalized(const std::string& path) {
  std::string result;
  for (char c : path) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '/') {
      c = '\\';
    } else if ((c >= 'a' && c <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7)) {
      c = static_cast<char>(u - 0x20);
    }
    result.push_back(c);
  }
  return WithoutTrailingSeparators(result);
}

}  // namespace

bool HoldsAWholeFolder(const std::string& directory, const std::vector<std::string>& folders) {
  if (IsDriveRoot(directory)) return true;
  const std::string own = Normalized(directory);
  if (own.empty()) return false;
  for (const std::string& folder : folders) {
    const std::string whole = Normalized(folder);
    if (whole.empty()) continue;
    if (whole == own || (whole.size() > own.size() && whole.compare(0, own.size(), own) == 0 &&
                         whole[own.size()] == '\\')) {
      return true;
    }
  }
  return false;
}

}  // namespace uninstall
