// handle_costs DIRECTORY COUNT: what deleting a file through handles costs on this system, call
// by call, against one DeleteFileA, for scripts/bench. Lays out DIRECTORY with COUNT files and
// deletes them with DeleteFileA; lays them out again and deletes each the way the removal does,
// through the product's Win32FileSystem, timing each call with the performance counter. Prints
// one "name=value" line each, in microseconds per file:
//   delete_file_us       DeleteFileA by path
//   open_us              OpenNode of the name relative to the directory's handle, as a file only
//   final_path_us        FinalPath (NtQueryObject), the name query the removal makes
//   normalized_path_us   NormalizedPath (GetFinalPathNameByHandleW) on the same handle, the other
//                        name query, for comparison: the removal does not make it
//   disposition_us       DeleteOnClose
//   close_us             CloseNode (the system removes the name here)
// Exits with 1 when DIRECTORY cannot be made or a file is left.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/win32/win32_file_system.h"

namespace {

double Microseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1e6 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now;
}

std::string Name(int i) { return "file" + std::to_string(i) + ".dat"; }

bool LayOut(const std::string& directory, int count) {
  CreateDirectoryA(directory.c_str(), nullptr);
  for (int i = 0; i < count; ++i) {
    HANDLE file = CreateFileA((directory + "\\" + Name(i)).c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: handle_costs DIRECTORY COUNT\n", stderr);
    return 1;
  }
  const std::string directory = argv[1];
  const int count = std::atoi(argv[2]);
  if (count <= 0 || !LayOut(directory, count)) return 1;

  LARGE_INTEGER start = Now();
  for (int i = 0; i < count; ++i) DeleteFileA((directory + "\\" + Name(i)).c_str());
  const double delete_file = Microseconds(start, Now());

  if (!LayOut(directory, count)) return 1;
  uninstall::Win32FileSystem fs;
  std::uint32_t error = 0;
  const uninstall::NodeHandle parent = fs.OpenDirectoryPath(
      std::u16string(directory.begin(), directory.end()), uninstall::kNodeList, &error);
  if (!parent.valid()) return 1;
  double open = 0, final_path = 0, normalized_path = 0, disposition = 0, close = 0;
  for (int i = 0; i < count; ++i) {
    const std::string name = Name(i);
    const std::u16string wide(name.begin(), name.end());
    LARGE_INTEGER from = Now();
    const uninstall::NodeHandle node =
        fs.OpenNode(parent, wide, uninstall::kNodeDelete | uninstall::kNodeFileOnly, &error);
    LARGE_INTEGER to = Now();
    open += Microseconds(from, to);
    std::u16string path;
    fs.FinalPath(node, &path);
    from = Now();
    final_path += Microseconds(to, from);
    fs.NormalizedPath(node, &path);
    to = Now();
    normalized_path += Microseconds(from, to);
    fs.DeleteOnClose(node);
    from = Now();
    disposition += Microseconds(to, from);
    fs.CloseNode(node);
    close += Microseconds(from, Now());
  }
  const bool all_gone =
      GetFileAttributesA((directory + "\\" + Name(count - 1)).c_str()) == INVALID_FILE_ATTRIBUTES &&
      GetFileAttributesA((directory + "\\" + Name(0)).c_str()) == INVALID_FILE_ATTRIBUTES;
  fs.CloseNode(parent);
  RemoveDirectoryA(directory.c_str());

  for (const auto& [label, total] :
       {std::pair{"delete_file_us", delete_file}, std::pair{"open_us", open},
        std::pair{"final_path_us", final_path}, std::pair{"normalized_path_us", normalized_path},
        std::pair{"disposition_us", disposition}, std::pair{"close_us", close}}) {
    std::printf("%s=%.1f\n", label, total / count);
  }
  return all_gone ? 0 : 1;
}
