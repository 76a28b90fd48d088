#include "files/whole_folders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace uninstall {
namespace {

TEST(WholeFoldersTest, ADirectoryAtOrAboveAWholeFolderHoldsIt) {
  const std::vector<std::string> folders = {"C:\\ProgramData\\ZED\\Local", "C:\\Program Files",
                                            "C:\\Users\\Public\\Desktop\\",
                                            "C:\\Users\\Bob\\Documents", "C:\\Users\\Zo\xEB"};
  struct Row {
    const char* directory;
    bool holds;
  };
  for (const Row& row : {
           Row{"C:\\Program Files\\", true},
           Row{"c:/program files", true},
           Row{"C:\\Users\\", true},
           Row{"C:\\users\\public\\DESKTOP\\\\", true},
           Row{"C:\\Users\\ZO\xCB\\", true},
           Row{"D:\\", true},
           Row{"\\\\server\\share\\", true},
           Row{"C:\\Program Files\\Sample\\", false},
           Row{"C:\\Program Files (x86)\\", false},
           Row{"C:\\Users\\Bob\\Documents\\Games\\", false},
           Row{"C:\\Users\\Bo\\", false},
           Row{"C:\\Apps\\", false},
           Row{"c:\\programdata\\zed", true},
           Row{"", false},
       }) {
    EXPECT_EQ(HoldsAWholeFolder(row.directory, folders), row.holds) << row.directory;
  }
  EXPECT_FALSE(HoldsAWholeFolder("C:\\Apps\\", {"", "\\"}));
}

}  // namespace
}  // namespace uninstall
