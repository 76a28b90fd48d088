// UninstallCheck FILE: checks an uninstall.dat for the traps of its format and reports them as
// compilers report, for an installer author's editor or build log. The same program on Windows
// and on Linux; on Windows it also knows the directory the uninstaller would run from.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "check/description_check.h"

namespace {

constexpr int kUnreadable = 2;

bool ReadWhole(const char* path, std::string* bytes) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  char buffer[65536];
  std::size_t read = 0;
  while ((read = std::fread(buffer, 1, sizeof(buffer), file)) > 0) bytes->append(buffer, read);
  const bool ok = std::ferror(file) == 0;
  std::fclose(file);
  return ok;
}

// The directory the uninstaller beside FILE would run from, with its final backslash; "" where
// paths are not Windows paths.
std::string UninstallerDirectory(const char* path) {
#ifdef _WIN32
  char full[_MAX_PATH];
  if (_fullpath(full, path, sizeof(full)) == nullptr) return "";
  std::string directory = full;
  return directory.substr(0, directory.find_last_of("\\/") + 1);
#else
  (void)path;
  return "";
#endif
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || argv[1][0] == '-') {
    std::fputs("usage: UninstallCheck FILE\n  checks the uninstall.dat FILE\n", stderr);
    return kUnreadable;
  }
  std::string bytes;
  if (!ReadWhole(argv[1], &bytes)) {
    std::printf("%s:0: error: the file cannot be read\n1 error, 0 warnings\n", argv[1]);
    return kUnreadable;
  }
  const std::vector<uninstall::Finding> findings =
      uninstall::CheckDescription(bytes, UninstallerDirectory(argv[1]));
  std::fputs(uninstall::FindingsReport(argv[1], findings).c_str(), stdout);
  return uninstall::FindingsExitCode(findings);
}
