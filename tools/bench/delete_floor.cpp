// delete_floor LIST: deletes every path of LIST, one a line, in list order, with one DeleteFileA
// call per file and one RemoveDirectoryA call per directory (a line ending in a backslash), and
// does nothing else: the least a removal of those paths costs on this system. scripts/bench sets
// the uninstaller's removal against it. With an empty LIST it is a trivial program, whose start
// and end give what a process costs under Wine.
//
// Prints "deleted N of M" and exits with 0 when every path went, 1 when one did not, 2 when LIST
// cannot be read.
#include <windows.h>

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: delete_floor LIST\n", stderr);
    return 2;
  }
  // The whole list in one read, as the uninstaller reads its uninstall.dat.
  HANDLE file = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 2;
  const DWORD size = GetFileSize(file, nullptr);
  std::vector<char> list(size + 1, '\0');
  DWORD read = 0;
  const bool ok = size == 0 || ReadFile(file, list.data(), size, &read, nullptr);
  CloseHandle(file);
  if (!ok || read != size) return 2;

  int total = 0;
  int deleted = 0;
  char* line = list.data();
  char* const end = list.data() + size;
  while (line < end) {
    char* line_end = line;
    while (line_end < end && *line_end != '\r' && *line_end != '\n') ++line_end;
    char* next = line_end;
    while (next < end && (*next == '\r' || *next == '\n')) ++next;
    if (line_end > line) {
      *line_end = '\0';
      ++total;
      const bool gone = line_end[-1] == '\\' ? RemoveDirectoryA(line) != 0 : DeleteFileA(line) != 0;
      if (gone) ++deleted;
    }
    line = next;
  }
  std::printf("deleted %d of %d\n", deleted, total);
  return deleted == total ? 0 : 1;
}
