#include "common/paths.h"

namespace uninstall {
namespace {

bool IsSeparator(char c) { return kPathSeparators.find(c) != std::string_view::npos; }

bool IsShareRoot(std::string_view path) {
  // \\server\share: two names after the leading pair of separators, at most one final separator.
  if (path.size() < 3 || !IsSeparator(path[0]) || !IsSeparator(path[1])) return false;
  std::string_view rest = path.substr(2);
  if (IsSeparator(rest.back())) rest.remove_suffix(1);
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

bool IsDriveRoot(std::string_view path) { return IsDriveLetterRoot(path) || IsShareRoot(path); }

bool IsDriveLetterRoot(std::string_view path) {
  std::size_t n = path.size();
  return (n >= 1 && path[n - 1] == ':') ||
         (n >= 2 && path[n - 2] == ':' && IsSeparator(path[n - 1]));
}

}  // namespace uninstall
