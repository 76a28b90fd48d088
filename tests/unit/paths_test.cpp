#include "common/paths.h"

#include <gtest/gtest.h>

namespace uninstall {
namespace {

TEST(PathsTest, DirectoryPartKeepsTheLastSeparator) {
  EXPECT_EQ(DirectoryPart("C:\\App\\Uninstall.exe"), "C:\\App\\");
  EXPECT_EQ(DirectoryPart("C:\\App/Sub/Uninstall.exe"), "C:\\App/Sub/");
  EXPECT_EQ(DirectoryPart("D:\\Uninstall.exe"), "D:\\");
  EXPECT_EQ(DirectoryPart("Uninstall.exe"), "");
  EXPECT_EQ(DirectoryPart("C:\\App/x", "\\"), "C:\\");
}

TEST(PathsTest, DriveAndShareRootsAreRecognised) {
  for (const char* root : {"D:\\", "D:", "d:/", "\\\\?\\D:\\", "\\\\server\\share\\",
                           "\\\\server\\share", "//server/share/"}) {
    EXPECT_TRUE(IsDriveRoot(root)) << root;
  }
  for (const char* dir : {"D:\\App\\", "\\\\server\\share\\App\\", "\\\\server\\",
                          "\\\\server\\\\share", "", "\\", "App\\"}) {
    EXPECT_FALSE(IsDriveRoot(dir)) << dir;
  }
}

}  // namespace
}  // namespace uninstall
