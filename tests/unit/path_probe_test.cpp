#include "files/path_probe.h"

#include <gtest/gtest.h>

#include "fakes/fake_file_system.h"

namespace uninstall {
namespace {

class PathProbeTest : public ::testing::Test {
 protected:
  CallLog log_;
  FakeFileSystem fs_{&log_};
};

TEST_F(PathProbeTest, DriveRootsGoByDriveTypeAlone) {
  fs_.AddDrive('D', kDriveCdRom);
  EXPECT_EQ(PathSize(fs_, "C:"), kDirectoryThere);
  EXPECT_EQ(PathSize(fs_, "C:\\"), kDirectoryThere);
  EXPECT_EQ(PathSize(fs_, "d:"), kDirectoryThere);
  EXPECT_EQ(PathSize(fs_, "Q:"), kNothingThere);
  EXPECT_EQ(PathSize(fs_, "Q:\\"), kNothingThere);
  EXPECT_EQ(log_.Matching("FindFirst").size(), 0u);
  EXPECT_EQ(log_.Matching("DriveTypeOf C:\\").size(), 2u);
}

TEST_F(PathProbeTest, TrailingBackslashesDontMatter) {
  fs_.AddFile("C:\\App\\data.txt", "12345");
  for (const char* path : {"C:\\App", "C:\\App\\", "C:\\App\\\\\\", "c:\\aPP"}) {
    EXPECT_EQ(PathSize(fs_, path), kDirectoryThere) << path;
  }
  EXPECT_EQ(PathSize(fs_, "C:\\App\\data.txt"), 5);
  EXPECT_EQ(PathSize(fs_, "C:\\App\\data.txt\\"), 5);
  EXPECT_EQ(fs_.OpenHandles(), 0);
}

TEST_F(PathProbeTest, NothingThere) {
  fs_.AddDirectory("C:\\App");
  for (const char* path : {"", "\\", "\\\\", "C:\\Missing", "C:\\App\\missing.txt", "Q:\\x"}) {
    EXPECT_EQ(PathSize(fs_, path), kNothingThere) << path;
    EXPECT_FALSE(IsExistingFile(fs_, path));
    EXPECT_NE(PathSize(fs_, path), kDirectoryThere);
  }
}

TEST_F(PathProbeTest, SizesAreSixtyFourBit) {
  fs_.AddFile("C:\\big.iso");
  fs_.SetReportedSize("C:\\big.iso", 5'000'000'000ULL);
  fs_.AddFile("C:\\empty.txt");
  EXPECT_EQ(PathSize(fs_, "C:\\big.iso"), 5'000'000'000LL);
  EXPECT_EQ(PathSize(fs_, "C:\\empty.txt"), 0);
  EXPECT_TRUE(IsExistingFile(fs_, "C:\\empty.txt"));
  EXPECT_NE(PathSize(fs_, "C:\\empty.txt"), kDirectoryThere);
}

TEST_F(PathProbeTest, ShareRootFoundThroughAttributes) {
  fs_.AddFile("\\\\srv\\share\\readme.txt", "abc");
  EXPECT_EQ(PathSize(fs_, "\\\\srv\\share\\"), kDirectoryThere);
  EXPECT_EQ(PathSize(fs_, "\\\\srv\\share\\readme.txt"), 3);
  EXPECT_EQ(PathSize(fs_, "\\\\srv\\other"), kNothingThere);
  EXPECT_EQ(log_.Matching("AttributesOf").front(), "AttributesOf \\\\srv\\share");
}

TEST_F(PathProbeTest, LongPathIsNeverCutToAShorterOne) {
  std::string directory = "C:\\" + std::string(257, 'd');  // exactly 260 bytes
  fs_.AddDirectory(directory);
  EXPECT_EQ(PathSize(fs_, directory), kDirectoryThere);
  log_.Clear();
  EXPECT_EQ(PathSize(fs_, directory + "\\" + std::string(39, 'x')), kNothingThere);
  EXPECT_EQ(PathSize(fs_, directory + "x"), kNothingThere);
  EXPECT_TRUE(log_.entries().empty());
}

TEST_F(PathProbeTest, EmptyDirectoryHoldsOnlyDots) {
  fs_.AddDirectory("C:\\Empty");
  fs_.AddDirectory("C:\\WithSubdir\\Sub");
  fs_.AddFile("C:\\WithHidden\\h.dat", "", kAttributeHidden | kAttributeSystem);
  fs_.AddFile("C:\\file.txt");
  fs_.AddDrive('E');
  EXPECT_TRUE(IsEmptyDirectory(fs_, "C:\\Empty"));
  EXPECT_TRUE(IsEmptyDirectory(fs_, "C:\\Empty\\"));
  EXPECT_TRUE(IsEmptyDirectory(fs_, "E:\\"));  // a root lists nothing at all
  EXPECT_FALSE(IsEmptyDirectory(fs_, "C:\\WithSubdir"));
  EXPECT_FALSE(IsEmptyDirectory(fs_, "C:\\WithHidden"));
  EXPECT_FALSE(IsEmptyDirectory(fs_, "C:\\Missing"));
  EXPECT_FALSE(IsEmptyDirectory(fs_, "C:\\file.txt"));
  EXPECT_FALSE(IsEmptyDirectory(fs_, "C:\\"));
  EXPECT_EQ(fs_.OpenHandles(), 0);
}

}  // namespace
}  // namespace uninstall
