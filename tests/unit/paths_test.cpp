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

// The directory and last name a path names as the system reads its text; "-" for nothing.
TEST(PathsTest, ResolvedByTextReadsDotsAndSeparatorsAsTheSystemDoes) {
  const std::pair<const char*, const char*> rows[] = {
      {"C:\\App\\Uninstall\\..\\App.exe", "C:\\App\\|App.exe"},
      {"C:\\App\\.\\\\Help/..\\..\\..\\x.txt. .", "C:\\|x.txt"},
      {"C:\\App\\Sub\\..\\", "C:\\|App"},
      {"\\\\srv\\share\\App\\..\\..\\x", "\\\\srv\\share\\|x"},
      {"C:", "-"},
      {"C:\\App\\..", "-"},
      {"\\\\srv\\share", "-"},
      {"\\\\\\share\\x", "-"},
      {"a\\\\srv\\share\\x", "-"},
      {"a\\srv\\share\\x", "-"},
      {"App\\x", "-"},
  };
  for (const auto& [path, expected] : rows) {
    const std::optional<ParentAndName> resolved = ResolvedByText(path);
    EXPECT_EQ(resolved ? resolved->directory + "|" + resolved->name : "-", expected) << path;
  }
}

}  // namespace
}  // namespace uninstall
