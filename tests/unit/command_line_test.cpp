#include "driver/command_line.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace uninstall
