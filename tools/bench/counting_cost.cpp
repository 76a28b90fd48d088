// counting_cost DIRECTORY DIRS FILES ROUND: what the window's counting of the work costs, for
// scripts/bench. Opens the product's main window in its removal stage, lays out in DIRECTORY a
// main executable and DIRS directories of FILES empty files each, and removes them through the
// product's removal, timed with the performance counter, four times over, each on a fresh layout:
//   listed_counting_ms  [Files] and [Dirs] listed, as the window removes them: the status bar, the
//                       beats, and the bar fed with the pieces announced and done
//   listed_plain_ms     the same with the status bar and the beats alone: nothing announced,
//                       nothing counted, the bar never fed (how the window worked before it had
//                       one)
//   all_counting_ms     "Delete all": the directories as trees, each announcing its entries as
//                       it is listed
//   all_plain_ms        the same, without counting
//   announcement_ms     counting the pieces uninstall.dat announces, before the removal
//   piece_us            a piece of work done, beyond a beat
//   move_ms             a move of the bar, drawn, beyond a paint of the bar standing still
// An odd ROUND takes each counting run before its plain one, an even ROUND after it, so that
// neither gains from coming second. Prints one "name=value" line each; exits with 1 when the
// window cannot be opened or something is left.
#include <windows.h>

#include <cstdio>
#include <string>

#include "driver/installation_removal.h"
#include "files/program_files.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_window_toolkit.h"
#include "ui/control_ids.h"
#include "ui/main_window.h"
#include "ui/window_progress.h"

namespace {

using uninstall::Description;
using uninstall::InstallationPaths;
using uninstall::RemovalOptions;

// The window's progress as it was without a bar: texts and beats only.
class PlainProgress final : public uninstall::WindowProgress {
 public:
  using WindowProgress::WindowProgress;
  void Expect(std::uint64_t) override {}
  void Done() override {}
};

std::string DirName(int d) {
  char name[16];
  std::snprintf(name, sizeof name, "Data%03d", d);
  return name;
}

bool Touch(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

bool LayOut(const std::string& base, int dirs, int files) {
  // "Delete all" removes the emptied base too.
  CreateDirectoryA(base.c_str(), nullptr);
  if (!Touch(base + "Prog.exe")) return false;
  for (int d = 1; d <= dirs; ++d) {
    const std::string dir = base + DirName(d);
    if (!CreateDirectoryA(dir.c_str(), nullptr)) return false;
    for (int f = 1; f <= files; ++f) {
      if (!Touch(dir + "\\file" + std::to_string(f) + ".dat")) return false;
    }
  }
  return true;
}

// uninstall.dat's groups for the layout: every file in [Files], every directory in [Dirs].
std::string Groups(int dirs, int files) {
  std::string text = "[Files]\r\n1=Prog.exe\r\n";
  int i = 2;
  for (int d = 1; d <= dirs; ++d) {
    for (int f = 1; f <= files; ++f) {
      text += std::to_string(i++) + "=" + DirName(d) + "\\file" + std::to_string(f) + ".dat\r\n";
    }
  }
  text += "[Dirs]\r\n";
  for (int d = 1; d <= dirs; ++d) text += std::to_string(i++) + "=" + DirName(d) + "\\\r\n";
  return text;
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1e3 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

void Remove(uninstall::FileSystem& fs, const Description& description,
            const InstallationPaths& paths, RemovalOptions options, uninstall::Progress& progress) {
  if (options.delete_all) {
    uninstall::RemoveAllFiles(fs, description, paths, progress);
  } else {
    uninstall::RemoveProgramFiles(fs, description, paths, progress);
  }
}

// Lays the installation out (untimed) and times its removal; -1 when something is left.
double TimedRemoval(uninstall::Win32FileSystem& fs, uninstall::WindowToolkit& windows,
                    const Description& description, const InstallationPaths& paths, int dirs,
                    int files, RemovalOptions options, bool counting) {
  if (!LayOut(paths.uninstaller_dir, dirs, files)) return -1;
  LARGE_INTEGER from, to;
  QueryPerformanceCounter(&from);
  if (counting) {
    uninstall::WindowProgress progress(windows);
    progress.Expect(uninstall::PiecesOfWork(description, options));
    Remove(fs, description, paths, options, progress);
  } else {
    PlainProgress progress(windows);
    Remove(fs, description, paths, options, progress);
  }
  QueryPerformanceCounter(&to);
  // Anything left in the base (which "Delete all" removes too) makes the run count for nothing.
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((paths.uninstaller_dir + "*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    bool empty = true;
    do {
      const std::string name = found.cFileName;
      if (name != "." && name != "..") empty = false;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    if (!empty) return -1;
  }
  return Milliseconds(from, to);
}

// Microseconds a piece of work costs the counting progress beyond the plain one: `pieces` pieces
// done against as many beats.
double PieceMicroseconds(uninstall::WindowToolkit& windows, int pieces) {
  LARGE_INTEGER from, to;
  uninstall::WindowProgress counting(windows);
  counting.Expect(pieces);
  QueryPerformanceCounter(&from);
  for (int i = 0; i < pieces; ++i) counting.Done();
  QueryPerformanceCounter(&to);
  const double counted = Milliseconds(from, to);
  PlainProgress plain(windows);
  QueryPerformanceCounter(&from);
  for (int i = 0; i < pieces; ++i) plain.Beat();
  QueryPerformanceCounter(&to);
  return 1e3 * (counted - Milliseconds(from, to)) / pieces;
}

// Milliseconds a move of the bar costs, drawn: `moves` moves against as many rounds of drawing
// with the bar standing still.
double MoveMilliseconds(uninstall::WindowToolkit& windows, int moves) {
  using uninstall::ProgressAmount;
  LARGE_INTEGER from, to;
  QueryPerformanceCounter(&from);
  for (int i = 0; i < moves; ++i) {
    windows.SetProgress(uninstall::kRemovalProgressBar, (i * 37) % ProgressAmount::kRange,
                        ProgressAmount::kRange);
    windows.HandlePaintAndSentMessages();
  }
  QueryPerformanceCounter(&to);
  const double moved = Milliseconds(from, to);
  QueryPerformanceCounter(&from);
  for (int i = 0; i < moves; ++i) windows.HandlePaintAndSentMessages();
  QueryPerformanceCounter(&to);
  return (moved - Milliseconds(from, to)) / moves;
}

// Milliseconds the window takes to count the pieces of work uninstall.dat announces before the
// removal starts.
double AnnouncementMilliseconds(const Description& description, RemovalOptions options) {
  constexpr int kTimes = 20;
  LARGE_INTEGER from, to;
  std::uint64_t pieces = 0;
  QueryPerformanceCounter(&from);
  for (int i = 0; i < kTimes; ++i) pieces += uninstall::PiecesOfWork(description, options);
  QueryPerformanceCounter(&to);
  return pieces == 0 ? -1 : Milliseconds(from, to) / kTimes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fputs("usage: counting_cost DIRECTORY DIRS FILES ROUND\n", stderr);
    return 1;
  }
  const std::string base = std::string(argv[1]) + "\\";
  const int dirs = std::atoi(argv[2]);
  const int files = std::atoi(argv[3]);
  const bool counting_first = std::atoi(argv[4]) % 2 == 1;

  uninstall::Win32WindowToolkit windows;
  uninstall::MainWindow window(windows);
  if (!window.Open({" Sample", "Sample", "Sample will be removed.", "", "Sample 1.0", " Delete all",
                    "OK", "Cancel", "Ready"})) {
    return 1;
  }
  window.StartRemoval();

  const Description description(Groups(dirs, files));
  uninstall::Win32FileSystem fs;
  const InstallationPaths paths{base, base + "uninstall.dat", "Prog.exe", "\\"};
  int status = 0;
  for (const bool delete_all : {false, true}) {
    double counted = 0, plain = 0;
    for (const bool counting : {counting_first, !counting_first}) {
      const double ms =
          TimedRemoval(fs, windows, description, paths, dirs, files, {delete_all}, counting);
      if (ms < 0) status = 1;
      (counting ? counted : plain) = ms;
    }
    const char* mode = delete_all ? "all" : "listed";
    std::printf("%s_counting_ms=%.1f\n%s_plain_ms=%.1f\n", mode, counted, mode, plain);
  }
  std::printf("announcement_ms=%.3f\npiece_us=%.3f\nmove_ms=%.3f\n",
              AnnouncementMilliseconds(description, {}), PieceMicroseconds(windows, 1000000),
              MoveMilliseconds(windows, 200));
  window.FinishRemoval("  Done.");
  window.Close();
  return status;
}
