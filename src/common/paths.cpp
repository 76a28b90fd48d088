#include "common/paths.h"

#include <algorithm>
#include <vector>

namespace uninstall {
namespace {

bool IsShareRoot(std::string_view path) {
  // \\server\share: two names after the leading pair of separators, at most one final separator.
  if (path.size() < 3 || !IsPathSeparator(path[0]) || !IsPathSeparator(path[1])) return false;
  std::string_view rest = path.substr(2);
  if (IsPathSeparator(rest.back())) rest.remove_suffix(1);
  std::size_t middle = rest.find_first_of(kPathSeparators);
  return middle != std::string_view::npos && middle > 0 && middle + 1 < rest.size() &&
         rest.find_first_of(kPathSeparators, middle + 1) == std::string_view::npos;
}

}  // namespace

bool IsUsablePath(std::string_view path) { return !path.empty() && path.size() <= kMaxPathBytes; }

std::string WithTrailingBackslash(const std::string& path) {
  if (!path.empty() && path.back() == '\\') return path;
  return path + "\\";
}

std::string WithoutTrailingSeparators(std::string path, std::string_view separators) {
  while (!path.empty() && separators.find(path.back()) != std::string_view::npos) path.pop_back();
  return path;
}

std::string DirectoryPart(const std::string& path, std::string_view separators) {
  std::size_t last = path.find_last_of(separators);
  return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

std::optional<ParentAndName> ResolvedByText(const std::string& path) {
  std::size_t root_end = 0;
  if (path.size() >= 2 && path[1] == ':') {
    root_end = 2;
  } else if (path.size() > 2 && IsPathSeparator(path[0]) && IsPathSeparator(path[1])) {
    // \\server\share
    const std::size_t server_end = path.find_first_of(kPathSeparators, 2);
    if (server_end == std::string::npos || server_end == 2) return std::nullopt;
    root_end = path.find_first_of(kPathSeparators, server_end + 1);
    if (root_end == std::string::npos) root_end = path.size();
    if (root_end == server_end + 1) return std::nullopt;
  } else {
    return std::nullopt;
  }
  std::vector<std::string> names;
  std::size_t start = root_end;
  while (start < path.size()) {
    std::size_t end = path.find_first_of(kPathSeparators, start);
    if (end == std::string::npos) end = path.size();
    std::string name = path.substr(start, end - start);
    // Dots and blanks alone: "." is no name, two dots or more (".. ", "...") the parent.
    const std::size_t dots = static_cast<std::size_t>(std::count(name.begin(), name.end(), '.'));
    if (name.find_first_not_of(". ") == std::string::npos) {
      if (dots >= 2 && !names.empty()) names.pop_back();
    } else {
      names.push_back(std::move(name));
    }
    start = end + 1;
  }
  if (names.empty()) return std::nullopt;
  std::string last = names.back();
  while (!last.empty() && (last.back() == '.' || last.back() == ' ')) last.pop_back();
  names.pop_back();
  std::string directory = path.substr(0, root_end) + "\\";
  for (const std::string& name : names) directory += name + "\\";
  return ParentAndName{directory, last};
}

bool IsDriveRoot(std::string_view path) { return IsDriveLetterRoot(path) || IsShareRoot(path); }

bool IsDriveLetterRoot(std::string_view path) {
  std::size_t n = path.size();
  return (n >= 1 && path[n - 1] == ':') ||
         (n >= 2 && path[n - 2] == ':' && IsPathSeparator(path[n - 1]));
}

}  // namespace uninstall
