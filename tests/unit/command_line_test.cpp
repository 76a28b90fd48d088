#include "driver/command_line.h"

#include <gtest/gtest.h>

#include "driver/uninstall_sequence.h"

namespace uninstall {
namespace {

TEST(CommandLineTest, FirstParameterFollowsTheProgramName) {
  struct Case {
    const char* line;
    const char* first;
  } cases[] = {
      {"\"C:\\Program Files\\App\\Uninstall.exe\" /Q", "/Q"},
      {"\"C:\\Program Files\\App\\Uninstall.exe\"", ""},
      {"Uninstall.exe", ""},
      {"Uninstall.exe    /Quiet   second", "/Quiet"},
      {"Uninstall.exe \"/Q with blanks\" second", "/Q with blanks"},
      {"\"C:\\App\\Uninstall.exe\"/Q", "/Q"},
      {"Uninstall.exe \"unterminated", "unterminated"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(FirstParameter(c.line), c.first) << c.line;
}

TEST(CommandLineTest, QuietModeNeedsExactlySlashUpperQ) {
  EXPECT_TRUE(IsQuietMode("/Q"));
  EXPECT_TRUE(IsQuietMode("/Quiet"));
  EXPECT_FALSE(IsQuietMode("/q"));
  EXPECT_FALSE(IsQuietMode("/"));
  EXPECT_FALSE(IsQuietMode(""));
  EXPECT_FALSE(IsQuietMode(" /Q"));
  EXPECT_FALSE(IsQuietMode("-Q"));
}

TEST(CommandLineTest, DirectoryPartKeepsTheLastSeparator) {
  EXPECT_EQ(DirectoryPart("C:\\App\\Uninstall.exe"), "C:\\App\\");
  EXPECT_EQ(DirectoryPart("C:\\App/Sub/Uninstall.exe"), "C:\\App/Sub/");
  EXPECT_EQ(DirectoryPart("D:\\Uninstall.exe"), "D:\\");
  EXPECT_EQ(DirectoryPart("Uninstall.exe"), "");
}

TEST(CommandLineTest, DriveAndShareRootsAreRecognised) {
  for (const char* root :
       {"D:\\", "D:", "d:/", "\\\\server\\share\\", "\\\\server\\share", "//server/share/"}) {
    EXPECT_TRUE(IsDriveRoot(root)) << root;
  }
  for (const char* dir :
       {"D:\\App\\", "\\\\server\\share\\App\\", "\\\\server\\", "", "\\", "App\\"}) {
    EXPECT_FALSE(IsDriveRoot(dir)) << dir;
  }
}

}  // namespace
}  // namespace uninstall
