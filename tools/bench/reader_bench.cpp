// reader_bench FILE: the reading of uninstall.dat on a large FILE under the real file API, for
// scripts/bench. Times, each with the performance counter:
//   open_ms          constructing a Description over Win32FileSystem (read and index the file,
//                    which is closed again before the constructor returns)
//   enumerate_ms     ForEachValue("Files"), adding up the lengths of the values, as the removal
//                    walks a group
//   for_each_ms      the same walk once more, only counting the values
//   raw_read_ms      CreateFileA, GetFileSize and one ReadFile of the whole file into memory
// and the process's memory at the start, after reading, after the first walk and after the
// Description is gone ("close"), in KB: peak working set, working set and private bytes
// (PrivateUsage) from GetProcessMemoryInfo, and the committed private regions (VirtualQuery).
// Prints one "name=value" line each; exits with 1 when the file cannot be read.
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <cstdio>
#include <memory>
#include <string>

#include "description/description.h"
#include "platform/win32/win32_file_system.h"

namespace {

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now;
}

// The committed private memory of the process, added up from its regions: what private bytes
// means, for systems that leave PrivateUsage at 0 (Wine 8 does).
unsigned long long CommittedPrivateBytes() {
  unsigned long long total = 0;
  MEMORY_BASIC_INFORMATION region;
  const char* address = nullptr;
  while (VirtualQuery(address, &region, sizeof(region)) == sizeof(region)) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
    address = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
  }
  return total;
}

void PrintMemory(const char* when) {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof(counters);
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                       sizeof(counters));
  std::printf("peak_working_set_%s_kb=%llu\n", when,
              static_cast<unsigned long long>(counters.PeakWorkingSetSize / 1024));
  std::printf("working_set_%s_kb=%llu\n", when,
              static_cast<unsigned long long>(counters.WorkingSetSize / 1024));
  std::printf("private_%s_kb=%llu\n", when,
              static_cast<unsigned long long>(counters.PrivateUsage / 1024));
  std::printf("committed_private_%s_kb=%llu\n", when, CommittedPrivateBytes() / 1024);
}

void PrintTime(const char* name, const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  std::printf("%s_ms=%.2f\n", name, Milliseconds(from, to));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: reader_bench FILE\n", stderr);
    return 1;
  }
  const std::string path = argv[1];
  uninstall::Win32FileSystem fs;
  PrintMemory("start");

  std::size_t entries = 0;
  {
    LARGE_INTEGER start = Now();
    const uninstall::Description description(fs, path);
    LARGE_INTEGER end = Now();
    PrintTime("open", start, end);
    PrintMemory("open");

    // The lengths are added up, so that nothing of the walk can be left out.
    std::size_t bytes = 0;
    start = Now();
    description.ForEachValue("Files", [&](const std::string& value) {
      bytes += value.size();
      ++entries;
    });
    end = Now();
    PrintTime("enumerate", start, end);
    std::printf("entries=%zu\nvalue_bytes=%zu\n", entries, bytes);
    PrintMemory("enumerate");

    std::size_t visited = 0;
    start = Now();
    description.ForEachValue("Files", [&visited](const std::string&) { ++visited; });
    end = Now();
    PrintTime("for_each", start, end);
    std::printf("for_each_entries=%zu\n", visited);
  }
  PrintMemory("close");

  const LARGE_INTEGER start = Now();
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  const DWORD size = GetFileSize(file, nullptr);
  std::unique_ptr<char[]> data(new char[size]);
  DWORD read = 0;
  const bool ok = ReadFile(file, data.get(), size, &read, nullptr) && read == size;
  CloseHandle(file);
  const LARGE_INTEGER end = Now();
  if (!ok) return 1;
  PrintTime("raw_read", start, end);
  std::printf("file_bytes=%lu\n", static_cast<unsigned long>(size));
  return entries > 0 ? 0 : 1;
}
