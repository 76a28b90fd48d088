#include "files/file_removal.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_file_system.h"
#include "files/path_probe.h"

namespace uninstall {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class FileRemovalTest : public ::testing::Test {
 protected:
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

TEST_F(FileRemovalTest, LongPathNamesNothing) {
  std::string victim = "C:\\" + std::string(256, 'v');  // 259 bytes
  fs_.AddFile(victim + "\\precious.dat");
  fs_.AddDirectory(victim + "\\Empty");
  EXPECT_FALSE(RemoveFile(fs_, victim + "\\precious.dat" + std::string(30, 'y')));
  EXPECT_FALSE(RemoveEmptyDirectory(fs_, victim + "\\Empty" + std::string(30, '\\')));
  EXPECT_TRUE(fs_.Exists(victim + "\\precious.dat"));
  EXPECT_TRUE(fs_.Exists(victim + "\\Empty"));
  EXPECT_THAT(log_.entries(), IsEmpty());
}

}  // namespace
}  // namespace uninstall
