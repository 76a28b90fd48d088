#include "files/file_removal.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "fakes/fake_file_system.h"
#include "files/path_probe.h"

namespace uninstall {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class FileRemovalTest : public ::testing::Test {
 protected:
  // The longest word of any logged call: no platform call may see a path over the limit.
  std::size_t LongestLoggedWord() const {
    std::size_t longest = 0;
    for (const auto& entry : log_.entries()) {
      std::istringstream words(entry);
      for (std::string word; words >> word;) longest = std::max(longest, word.size());
    }
    return longest;
  }

  CallLog log_;
  FakeFileSystem fs_{&log_};
};

TEST_F(FileRemovalTest, RemoveFileLeavesAttributesAlone) {
  fs_.AddFile("C:\\App\\a.txt");
  fs_.AddFile("C:\\App\\ro.txt", "", kAttributeReadOnly);
  fs_.AddFile("C:\\App\\busy.exe");
  fs_.HoldOpen("C:\\App\\busy.exe");
  EXPECT_TRUE(RemoveFile(fs_, "C:\\App\\A.TXT"));
  EXPECT_FALSE(RemoveFile(fs_, "C:\\App\\ro.txt"));
  EXPECT_FALSE(RemoveFile(fs_, "C:\\App\\busy.exe"));
  EXPECT_FALSE(RemoveFile(fs_, "C:\\App\\missing.txt"));
  EXPECT_FALSE(RemoveFile(fs_, ""));
  EXPECT_THAT(fs_.AllPaths(), ElementsAre("C:\\App\\", "C:\\App\\busy.exe", "C:\\App\\ro.txt"));
  EXPECT_THAT(log_.Matching("SetAttributes"), IsEmpty());
}

TEST_F(FileRemovalTest, WithoutFlagsOnlyDirectFilesGo) {
  fs_.AddFile("C:\\Flat\\a.txt");
  fs_.AddFile("C:\\Flat\\b");
  fs_.AddDirectory("C:\\Empty");
  fs_.AddFile("C:\\Nested\\top.txt");
  fs_.AddFile("C:\\Nested\\Sub\\inner.txt");
  fs_.AddFile("C:\\ReadOnly\\ro.txt", "", kAttributeReadOnly);
  EXPECT_TRUE(RemoveDirectoryTree(fs_, "C:\\Flat", "*.*", 0));
  EXPECT_TRUE(RemoveDirectoryTree(fs_, "C:\\Empty\\", "", 0));
  EXPECT_FALSE(RemoveDirectoryTree(fs_, "C:\\Nested\\", "*.*", 0));
  EXPECT_FALSE(RemoveDirectoryTree(fs_, "C:\\ReadOnly", "*.*", 0));
  EXPECT_THAT(fs_.AllPaths(),
              ElementsAre("C:\\Nested\\", "C:\\Nested\\Sub\\", "C:\\Nested\\Sub\\inner.txt",
                          "C:\\ReadOnly\\", "C:\\ReadOnly\\ro.txt"));
  EXPECT_EQ(fs_.OpenHandles(), 0);
}

TEST_F(FileRemovalTest, RecursiveForceRemovesProtectedTree) {
  fs_.AddFile("C:\\Keep.txt");
  fs_.AddFile("C:\\Tree\\ro.txt", "", kAttributeReadOnly);
  fs_.AddFile("C:\\Tree\\hidden.sys", "", kAttributeHidden | kAttributeSystem);
  fs_.AddDirectory("C:\\Tree\\Locked", kAttributeDirectory | kAttributeReadOnly);
  fs_.AddFile("C:\\Tree\\Locked\\Deeper\\x.dat", "", kAttributeReadOnly);
  EXPECT_TRUE(RemoveDirectoryTree(fs_, "C:\\Tree", "*.*", kRemoveRecursive | kRemoveForce));
  EXPECT_THAT(fs_.AllPaths(), ElementsAre("C:\\Keep.txt"));
  EXPECT_EQ(fs_.OpenHandles(), 0);
}

// A junction inside a tree shows the files of its target; a forced removal must not reach
// through it into a directory outside the tree.
TEST_F(FileRemovalTest, LinksToDirectoriesAreNeverEntered) {
  fs_.AddDirectory("C:\\Tree\\Link", kAttributeDirectory | kAttributeReparsePoint);
  fs_.AddFile("C:\\Tree\\Link\\target-file.doc");
  fs_.AddFile("C:\\Tree\\own.txt");
  RemoveDirectoryTree(fs_, "C:\\Tree", "*.*", kRemoveRecursive | kRemoveForce);
  EXPECT_TRUE(fs_.Exists("C:\\Tree\\Link\\target-file.doc"));
  EXPECT_FALSE(fs_.Exists("C:\\Tree\\own.txt"));
  EXPECT_THAT(log_.Matching("FindFirst C:\\Tree\\Link"), IsEmpty());
  EXPECT_THAT(log_.Matching("EraseDirectory C:\\Tree\\Link"),
              ElementsAre("EraseDirectory C:\\Tree\\Link"));
}

TEST_F(FileRemovalTest, DepthFirstInEnumerationOrder) {
  fs_.AddFile("C:\\T\\a.txt");
  fs_.AddFile("C:\\T\\B\\c.txt");
  fs_.AddFile("C:\\T\\d.txt");
  ASSERT_TRUE(RemoveDirectoryTree(fs_, "C:\\T\\", "*.*", kRemoveRecursive | kRemoveForce));
  EXPECT_THAT(
      log_.Matching("Erase"),
      ElementsAre("EraseFile C:\\T\\a.txt", "EraseFile C:\\T\\B\\c.txt",
                  "EraseDirectory C:\\T\\B\\", "EraseFile C:\\T\\d.txt", "EraseDirectory C:\\T\\"));
  EXPECT_THAT(log_.Matching("SetAttributes C:\\T\\B"),
              ElementsAre("SetAttributes C:\\T\\B\\c.txt 128", "SetAttributes C:\\T\\B\\ 128"));
}

TEST_F(FileRemovalTest, OpenFileKeepsItsParents) {
  fs_.AddFile("C:\\T\\a\\b\\busy.dll");
  fs_.HoldOpen("C:\\T\\a\\b\\busy.dll");
  fs_.AddFile("C:\\T\\a\\b\\free.dll");
  fs_.AddFile("C:\\T\\a\\other.txt");
  fs_.AddFile("C:\\T\\z\\last.txt");
  EXPECT_FALSE(RemoveDirectoryTree(fs_, "C:\\T", "*.*", kRemoveRecursive | kRemoveForce));
  EXPECT_THAT(fs_.AllPaths(),
              ElementsAre("C:\\T\\", "C:\\T\\a\\", "C:\\T\\a\\b\\", "C:\\T\\a\\b\\busy.dll"));
}

TEST_F(FileRemovalTest, ForceAloneClearsButDoesNotDescend) {
  fs_.AddFile("C:\\Own\\ro.exe", "", kAttributeReadOnly | kAttributeHidden);
  fs_.AddDirectory("C:\\Own", kAttributeDirectory | kAttributeReadOnly);
  EXPECT_TRUE(RemoveDirectoryTree(fs_, "C:\\Own", "*.*", kRemoveForce));
  fs_.AddFile("C:\\Own2\\f.txt", "", kAttributeReadOnly);
  fs_.AddFile("C:\\Own2\\Sub\\g.txt");
  EXPECT_FALSE(RemoveDirectoryTree(fs_, "C:\\Own2", "*.*", kRemoveForce));
  EXPECT_THAT(fs_.AllPaths(), ElementsAre("C:\\Own2\\", "C:\\Own2\\Sub\\", "C:\\Own2\\Sub\\g.txt"));
}

TEST_F(FileRemovalTest, PatternLimitsWhatGoes) {
  fs_.AddFile("C:\\Logs\\a.log");
  fs_.AddFile("C:\\Logs\\keep.txt");
  fs_.AddFile("C:\\Logs\\old.log\\b.log");
  fs_.AddFile("C:\\Logs\\Other\\c.log");
  EXPECT_FALSE(RemoveDirectoryTree(fs_, "C:\\Logs", "*.log", kRemoveRecursive));
  EXPECT_THAT(fs_.AllPaths(), ElementsAre("C:\\Logs\\", "C:\\Logs\\Other\\",
                                          "C:\\Logs\\Other\\c.log", "C:\\Logs\\keep.txt"));
}

TEST_F(FileRemovalTest, MissingDirectoryChangesNothing) {
  fs_.AddFile("C:\\file.txt");
  EXPECT_FALSE(RemoveDirectoryTree(fs_, "C:\\Missing", "*.*", kRemoveRecursive | kRemoveForce));
  EXPECT_FALSE(RemoveDirectoryTree(fs_, "", "*.*", kRemoveRecursive | kRemoveForce));
  EXPECT_FALSE(RemoveDirectoryTree(fs_, "C:\\file.txt", "*.*", kRemoveRecursive | kRemoveForce));
  EXPECT_THAT(fs_.AllPaths(), ElementsAre("C:\\file.txt"));
  EXPECT_THAT(log_.Matching("Erase"), IsEmpty());
  EXPECT_THAT(log_.Matching("SetAttributes"), IsEmpty());
}

TEST_F(FileRemovalTest, LongPathNeverRemovesTheTreeItsPrefixNames) {
  std::string victim = "C:\\" + std::string(256, 'v');  // 259 bytes, +"\" = 260
  fs_.AddFile(victim + "\\precious.dat");
  std::string too_long = victim + "\\" + std::string(39, 'x');
  EXPECT_FALSE(RemoveDirectoryTree(fs_, too_long, "*.*", kRemoveRecursive | kRemoveForce));
  EXPECT_FALSE(RemoveFile(fs_, victim + "\\precious.dat" + std::string(30, 'y')));
  EXPECT_TRUE(fs_.Exists(victim + "\\precious.dat"));
  EXPECT_THAT(log_.entries(), IsEmpty());
}

TEST_F(FileRemovalTest, TooLongChildIsPassedOver) {
  std::string parent = "C:\\" + std::string(240, 'p');  // 243 bytes + "\" = 244
  fs_.AddFile(parent + "\\short.txt");
  fs_.AddFile(parent + "\\" + std::string(20, 'f'));
  fs_.AddFile(parent + "\\" + std::string(20, 'g') + "\\inner.txt");
  EXPECT_FALSE(RemoveDirectoryTree(fs_, parent, "*.*", kRemoveRecursive | kRemoveForce));
  EXPECT_FALSE(fs_.Exists(parent + "\\short.txt"));
  EXPECT_TRUE(fs_.Exists(parent + "\\" + std::string(20, 'f')));
  EXPECT_TRUE(fs_.Exists(parent + "\\" + std::string(20, 'g') + "\\inner.txt"));
  EXPECT_LE(LongestLoggedWord(), kMaxPathBytes);
  EXPECT_EQ(fs_.OpenHandles(), 0);
}

}  // namespace
}  // namespace uninstall
