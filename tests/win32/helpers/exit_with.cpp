// A program for the launcher's tests: exit_with CODE [FILE [DELAY_MS [PROBE]]].
// Waits DELAY_MS (at most ten seconds), writes its command line and its current directory as
// two CR LF lines into FILE when one is given (with PROBE, a third line "PROBE exists" or
// "PROBE missing", the path taken relative to the current directory), and exits with CODE
// (0 when missing).
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  unsigned long code = argc > 1 ? std::strtoul(argv[1], nullptr, 0) : 0;
  if (argc > 3) {
    unsigned long delay = std::strtoul(argv[3], nullptr, 0);
    Sleep(delay < 10000 ? delay : 10000);
  }
  if (argc > 2) {
    char directory[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof(directory), directory);
    // Written and renamed into place, so that a reader never sees half of it.
    char temporary[MAX_PATH + 8];
    std::snprintf(temporary, sizeof(temporary), "%s.part", argv[2]);
    if (FILE* out = std::fopen(temporary, "wb")) {
      std::fprintf(out, "%s\r\n%s\r\n", GetCommandLineA(), directory);
      if (argc > 4) {
        bool exists = GetFileAttributesA(argv[4]) != INVALID_FILE_ATTRIBUTES;
        std::fprintf(out, "%s %s\r\n", argv[4], exists ? "exists" : "missing");
      }
      std::fclose(out);
      MoveFileExA(temporary, argv[2], MOVEFILE_REPLACE_EXISTING);
    }
  }
  return static_cast<int>(code);
}
