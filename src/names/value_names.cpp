#include "names/value_names.h"

#include <algorithm>

namespace uninstall {
namespace {

// A component that Windows would resolve to the parent: ".." (trailing dots and blanks are
// dropped from path components, so "..." and ".. " count too).
bool IsParentReference(std::string_view component) {
  int dots = 0;
  for (char c : component) {
    if (c == '.') {
      ++dots;
    } else if (c != ' ') {
      return false;
    }
  }
  return dots >= 2;
}

}  // namespace

bool StaysInside(const std::string& relative_path) {
  if (!relative_path.empty() && kPathSeparators.find(relative_path[0]) != std::string::npos) {
    return false;
  }
  if (relative_path.find(':') != std::string::npos) return false;
  std::size_t start = 0;
  while (start <= relative_path.size()) {
    std::size_t end = relative_path.find_first_of(kPathSeparators, start);
    if (end == std::string::npos) end = relative_path.size();
    if (IsParentReference(std::string_view(relative_path).substr(start, end - start))) {
      return false;
    }
    start = end + 1;
  }
  return true;
}

std::optional<std::vector<std::u16string>> NamesOf(FileNames& names, const std::string& relative) {
  std::u16string wide;
  if (!StaysInside(relative) || !names.WidenName(relative, &wide)) return std::nullopt;
  std::vector<std::u16string> parts;
  std::size_t start = 0;
  while (start <= wide.size()) {
    std::size_t end = start;
    while (end < wide.size() && !IsPathSeparator(wide[end])) ++end;
    std::u16string name = wide.substr(start, end - start);
    if (end == wide.size()) {
      // The last name of a path loses all its trailing dots and blanks, every other name one
      // single trailing dot, as in the system's own reading of a path.
      while (!name.empty() && (name.back() == u'.' || name.back() == u' ')) name.pop_back();
    } else if (name.size() >= 2 && name.back() == u'.' && name[name.size() - 2] != u'.') {
      name.pop_back();
    }
    if (!name.empty() && name != u".") parts.push_back(std::move(name));
    start = end + 1;
  }
  return parts;
}

std::u16string ComparableValue(FileNames& names, const std::string& value) {
  std::u16string wide;
  if (!names.WidenName(value, &wide)) wide.assign(value.begin(), value.end());
  std::replace(wide.begin(), wide.end(), u'/', u'\\');
  return wide;
}

}  // namespace uninstall
