// A program for the launcher's tests: read_handed_pipe PIPE OTHER FILE. Reads the pipe it was
// handed under the number PIPE as the uninstaller's second instance does, and writes into FILE
// a line "read" or "refused", a line with the file type of the handle number OTHER (0 when this
// process holds no such handle), and what it read.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/win32/win32_processes.h"

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  const unsigned long long other = std::strtoull(argv[2], nullptr, 10);
  const DWORD other_type =
      GetFileType(reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(other)));
  uninstall::Win32Processes processes;
  std::string bytes;
  const bool read = processes.ReadHandedPipe(std::strtoull(argv[1], nullptr, 10), 1 << 20, &bytes);
  if (FILE* out = std::fopen(argv[3], "wb")) {
    std::fprintf(out, "%s\r\n%lu\r\n", read ? "read" : "refused", other_type);
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
  }
  return 0;
}
