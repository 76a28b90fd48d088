// The removal against another user who swaps a directory of the installation for a link to an
// outside directory and back, as fast as he can. tests/win32/run.sh starts that swapper
// (tests/lib/swap_link.pl) on the Linux side for C:\race_fixture\App\Sub, leading to
// C:\race_fixture\outside; it swaps while C:\race_fixture\go exists and shows that it is idle
// with C:\race_fixture\idle.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <string>

#include "common/progress.h"
#include "description/description.h"
#include "files/program_files.h"
#include "gtest/gtest.h"
#include "platform/win32/win32_file_system.h"

namespace uninstall {
namespace {

constexpr int kFiles = 3000;
const std::string kRoot = "C:\\race_fixture\\";
const std::string kApp = kRoot + "App\\";
const std::string kOutside = kRoot + "outside\\";

std::string FileName(int i) { return "file" + std::to_string(10000 + i) + ".txt"; }

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WaitFor(const std::string& path, bool present) {
  for (int i = 0; i < 1000; ++i) {
    if (Exists(path) == present) return true;
    Sleep(10);
  }
  return false;
}

void Write(const std::string& path, const std::string& contents) {
  std::ofstream(path, std::ios::binary) << contents;
}

int OwnFilesRemoved() {
  int removed = 0;
  for (int i = 0; i < kFiles; ++i) removed += Exists(kApp + "Sub\\" + FileName(i)) ? 0 : 1;
  return removed;
}

// The real file system, counting the nodes among the watched ones that are marked for deletion.
class WatchingFileSystem : public Win32FileSystem {
 public:
  // Watches the directory and its files.
  void Watch(const std::string& directory, int files) {
    watched_.clear();
    marked_outside_ = 0;
    Add(directory);
    for (int i = 0; i < files; ++i) Add(directory + FileName(i));
  }
  int marked_outside() const { return marked_outside_; }

  bool DeleteOnClose(NodeHandle node) override {
    std::uint64_t id = 0;
    if (NodeId(node, &id) && watched_.count(id) != 0) ++marked_outside_;
    return Win32FileSystem::DeleteOnClose(node);
  }

 private:
  void Add(const std::string& path) {
    HANDLE file =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION info;
    if (file != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file, &info)) {
      watched_.insert((static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow);
    }
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }

  std::set<std::uint64_t> watched_;
  int marked_outside_ = 0;
};

int OutsideFilesLeft() {
  int left = 0;
  for (int i = 0; i < kFiles; ++i) left += Exists(kOutside + FileName(i)) ? 1 : 0;
  return left;
}

class LinkRaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WaitFor(kRoot + "idle", true)) << "run.sh starts the swapper";
  }

  // The installation: App.exe and kFiles files in Sub, each listed; the same names outside.
  void LayOut() {
    CreateDirectoryA((kApp + "Sub").c_str(), nullptr);
    std::string description = "[Files]\r\n1=App.exe\r\n";
    for (int i = 0; i < kFiles; ++i) {
      Write(kApp + "Sub\\" + FileName(i), "own");
      Write(kOutside + FileName(i), "mine");
      description += "F" + std::to_string(i) + "=Sub\\" + FileName(i) + "\r\n";
    }
    Write(kApp + "uninstall.dat", description + "[Dirs]\r\n1=Sub\\\r\n");
    Write(kApp + "App.exe", "MZ");
  }

  // Runs `remove` while the swapper swaps; the number of outside files it left.
  template <typename Remove>
  int Race(Remove remove) {
    LayOut();
    Write(kRoot + "go", "");
    EXPECT_TRUE(WaitFor(kRoot + "idle", false)) << "the swapper did not start";
    remove();
    DeleteFileA((kRoot + "go").c_str());
    EXPECT_TRUE(WaitFor(kRoot + "idle", true)) << "the swapper did not stop";
    return OutsideFilesLeft();
  }
};

// Under Wine the system itself deletes by name when the last handle closes (it checks that the
// name still leads to the file, then removes the name), so a swap between those two steps can
// still cost an outside file, which no program can prevent; on Windows the deletion acts on the
// file itself. What the removal decides is checked here: it never marks anything outside for
// deletion. What was lost all the same is printed.
TEST_F(LinkRaceTest, NothingOutsideIsMarkedForDeletionThroughASwappedDirectory) {
  WatchingFileSystem fs;
  const InstallationPaths paths{kApp, kApp + "uninstall.dat", "App.exe", "\\"};
  for (int round = 0; round < 4; ++round) {
    const bool remove_all = round % 2 == 1;
    SCOPED_TRACE(remove_all ? "delete all" : "program files");
    const int left = Race([&] {
      const Description description(fs, paths.description_file_path);
      NoProgress progress;
      fs.Watch(kOutside, kFiles);
      if (remove_all) {
        RemoveAllFiles(fs, description, paths, progress);
      } else {
        RemoveProgramFiles(fs, description, paths, progress);
      }
    });
    EXPECT_EQ(fs.marked_outside(), 0) << "round " << round;
    std::printf("round %d (%s): %d own files removed, %d outside files lost\n", round,
                remove_all ? "delete all" : "program files", OwnFilesRemoved(), kFiles - left);
  }
}

// The same race against a plain deletion by path: it does delete outside, so the race is real
// and the test above can fail.
TEST_F(LinkRaceTest, APlainPathDeletionIsFooledByTheSameSwap) {
  int deleted = 0;
  for (int round = 0; round < 5 && deleted == 0; ++round) {
    deleted = kFiles - Race([] {
                for (int i = 0; i < kFiles; ++i)
                  DeleteFileA((kApp + "Sub\\" + FileName(i)).c_str());
              });
  }
  EXPECT_GT(deleted, 0);
  std::printf("a plain path deletion lost %d of %d outside files\n", deleted, kFiles);
}

}  // namespace
}  // namespace uninstall
