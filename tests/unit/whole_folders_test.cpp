#include "files/whole_folders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_file_system.h"

namespace uninstall {
namespace {

TEST(WholeFoldersTest, ADirectoryAtOrAboveAWholeFolderHoldsIt) {
  const std::vector<std::u16string> folders = {
      u"C:\\ProgramData\\ZED\\Local",  u"C:\\Program Files",
      u"C:\\Users\\Public\\Desktop\\", u"C:\\Users\\Bob\\Documents",
      u"C:\\Users\\Zo\u00EB",          u"\\\\?\\D:\\Apps\\Shared",
      u"\\\\?\\UNC\\srv\\home\\Bob",   u"C:\\U\u017Cytkownicy\\Wsp\u00F3lne"};
  FakeFileSystem names;
  struct Row {
    const char16_t* directory;
    bool holds;
  };
  for (const Row& row : {
           Row{u"C:\\Program Files\\", true},
           Row{u"c:/program files", true},
           Row{u"\\\\?\\C:\\Program Files", true},
           Row{u"C:\\Users\\", true},
           Row{u"C:\\users\\public\\DESKTOP\\\\", true},
           Row{u"C:\\Users\\ZO\u00CB\\", true},
           Row{u"D:\\", true},
           Row{u"\\\\?\\E:\\", true},
           Row{u"\\\\server\\share\\", true},
           Row{u"\\\\?\\UNC\\server\\share", true},
           Row{u"\\\\?\\D:\\Apps", true},
           Row{u"\\\\srv\\home\\Bob", true},
           Row{u"\\\\?\\UNC\\srv\\home\\Bob\\App", false},
           Row{u"C:\\Program Files\\Sample\\", false},
           Row{u"C:\\Program Files (x86)\\", false},
           Row{u"C:\\Users\\Bob\\Documents\\Games\\", false},
           Row{u"C:\\Users\\Bo\\", false},
           Row{u"C:\\Apps\\", false},
           Row{u"c:\\programdata\\zed", true},
           Row{u"C:\\U\u017BYTKOWNICY", true},
           Row{u"C:\\Uzytkownicy", false},
           Row{u"", false},
       }) {
    EXPECT_EQ(HoldsAWholeFolder(names, row.directory, folders), row.holds) << std::string(
        row.directory, row.directory + std::char_traits<char16_t>::length(row.directory));
  }
  EXPECT_FALSE(HoldsAWholeFolder(names, u"C:\\Apps\\", {u"", u"\\", u"\\\\?\\"}));
}

// Decided on what the directory is: a link to a whole folder, or a directory a link of the
// system's list leads to, counts as that folder, whatever name opened it; a folder that cannot be
// opened still counts by its name. Where the system names a directory by the network share it
// was reached through (a folder of this machine through a mapped drive), the folder itself, or
// one above it, is recognised by its identity. A directory whose path cannot be read counts as a
// whole folder.
TEST(WholeFoldersTest, TheOpenDirectoryDecidesNotItsName) {
  for (bool named_as_opened : {false, true}) {
    SCOPED_TRACE(named_as_opened ? "named as opened" : "named where it is");
    FakeFileSystem fs;
    fs.SetNormalizedPathsAsOpened(named_as_opened);
    fs.AddDirectory("C:\\Users\\Public\\Desktop");
    fs.AddDirectory("C:\\Apps\\Sample");
    fs.AddDirectory("C:\\Docs");
    fs.AddDirectory("C:\\Users\\Gone");
    fs.AddLink("C:\\pub", "C:\\Users\\Public\\Desktop");
    fs.AddLink("C:\\public", "C:\\Users\\Public");
    fs.AddLink("C:\\sample", "C:\\Apps\\Sample");
    fs.AddLink("C:\\Users\\Bob\\Documents", "C:\\Docs");
    // A share of this machine, as a mapped drive reaches it.
    fs.AddLink("\\\\localhost\\C$\\Users", "C:\\Users");
    fs.AddLink("\\\\localhost\\C$\\Apps", "C:\\Apps");
    fs.whole_folders = {"C:\\Users\\Public\\Desktop", "C:\\Users\\Bob\\Documents",
                        "C:\\Users\\Gone\\Music"};
    struct Row {
      const char* directory;
      bool holds;
    };
    for (const Row& row : {
             Row{"C:\\pub\\", true},
             Row{"C:\\public\\", true},
             Row{"\\\\localhost\\C$\\Users\\Public\\Desktop\\", true},
             Row{"\\\\localhost\\C$\\Users\\Public\\", true},
             Row{"\\\\localhost\\C$\\Apps\\Sample\\", false},
             Row{"C:\\Users\\Public\\Desktop\\", true},
             Row{"C:\\Docs\\", true},
             Row{"C:\\Users\\Gone\\", true},
             Row{"C:\\Apps\\Sample\\", false},
             Row{"C:\\sample\\", false},
             Row{"C:\\Apps\\", false},
         }) {
      const VerifiedNode directory = OpenKeptDirectory(fs, row.directory);
      ASSERT_TRUE(directory.valid()) << row.directory;
      EXPECT_EQ(HoldsAWholeFolder(fs, directory), row.holds) << row.directory;
    }
    EXPECT_TRUE(HoldsAWholeFolder(fs, VerifiedNode()));
    EXPECT_EQ(fs.OpenHandles(), 0);
  }
}

}  // namespace
}  // namespace uninstall
