// A program for the end-to-end tests: hold_mutex NAME SECONDS [READY_FILE].
// Creates the named mutex NAME (none for "-"), then writes READY_FILE (empty) when one is
// given, so that a test knows the mutex exists and the process runs; then waits SECONDS (at
// most 300) and exits with 0.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  HANDLE mutex = nullptr;
  if (std::strcmp(argv[1], "-") != 0) {
    mutex = CreateMutexA(nullptr, FALSE, argv[1]);
    if (mutex == nullptr) return 1;
  }
  if (argc > 3) {
    if (FILE* ready = std::fopen(argv[3], "wb")) std::fclose(ready);
  }
  unsigned long seconds = std::strtoul(argv[2], nullptr, 0);
  Sleep((seconds < 300 ? seconds : 300) * 1000);
  if (mutex != nullptr) CloseHandle(mutex);
  return 0;
}
