#include "description/uninstall_settings.h"

#include <gtest/gtest.h>

#include "fakes/fake_file_system.h"

namespace uninstall {
namespace {

class SettingsTest : public ::testing::Test {
 protected:
  UninstallSettings Read(const std::string& contents, const std::string& dir = "C:\\App\\") {
    fs.AddFile("C:\\App\\uninstall.dat", contents);
    return ReadUninstallSettings(Description(fs, "C:\\App\\uninstall.dat"), dir);
  }
  FakeFileSystem fs;
};

TEST_F(SettingsTest, MissingGroupsAndKeysGiveTheDefaults) {
  UninstallSettings settings = Read("");
  EXPECT_EQ(settings.prog_exe, "-1");
  EXPECT_EQ(settings.prog_dir, "\\");
  EXPECT_EQ(settings.data_dir, "\\");
  EXPECT_EQ(settings.mutex_string, "");
  EXPECT_EQ(settings.start_menu, "");
  EXPECT_EQ(settings.script, 0);
  EXPECT_EQ(settings.login_admin, 0);
  EXPECT_EQ(settings.before_uninst, "");
  EXPECT_EQ(settings.after_param, "");
  EXPECT_EQ(fs.OpenHandles(), 0);
}

TEST_F(SettingsTest, EveryKeyIsReadAndNormalised) {
  UninstallSettings settings = Read(
      "[Settings]\nMutexString=M\nProgExe=App.exe\nProgDir=C:\\Elsewhere\nDataDir=D:\\Data\n"
      "StartMenu=C:\\Menu\nGUID={G}\nScript=1\nDesktopIcon=C:\\D\\App.lnk\nLoginAdmin=257\n"
      "NoDelAll=1\n[StartProg]\nBeforeUninst=b.exe\nBeforeParam=-b\nAfterUninst=a.exe\n"
      "AfterParam=-a\n");
  EXPECT_EQ(settings.mutex_string, "M");
  EXPECT_EQ(settings.prog_exe, "App.exe");
  EXPECT_EQ(settings.prog_dir, "C:\\Elsewhere\\");
  EXPECT_EQ(settings.data_dir, "D:\\Data\\");
  EXPECT_EQ(settings.start_menu, "C:\\Menu");  // no backslash appended
  EXPECT_EQ(settings.guid, "{G}");
  EXPECT_EQ(settings.script, 1);
  EXPECT_EQ(settings.desktop_icon, "C:\\D\\App.lnk");
  EXPECT_EQ(settings.login_admin, 1);  // 257: only the low 8 bits
  EXPECT_EQ(settings.no_del_all, 0);   // not run from ProgDir
  EXPECT_EQ(settings.before_uninst, "b.exe");
  EXPECT_EQ(settings.before_param, "-b");
  EXPECT_EQ(settings.after_uninst, "a.exe");
  EXPECT_EQ(settings.after_param, "-a");
}

TEST_F(SettingsTest, NoDelAllCountsOnlyInTheProgramDirectoryByteForByte) {
  EXPECT_EQ(Read("[Settings]\nProgDir=C:\\App\nNoDelAll=1\n").no_del_all, 1);
  EXPECT_EQ(Read("[Settings]\nProgDir=C:\\App\\\nNoDelAll=1\n").no_del_all, 1);
  EXPECT_EQ(Read("[Settings]\nProgDir=c:\\app\\\nNoDelAll=1\n").no_del_all, 0);
  EXPECT_EQ(Read("[Settings]\nNoDelAll=1\n").no_del_all, 0);
  EXPECT_EQ(Read("[Settings]\nProgDir=C:\\App\nNoDelAll=256\n").no_del_all, 0);
}

TEST_F(SettingsTest, StartProgWithoutSettingsStillReads) {
  UninstallSettings settings = Read("[StartProg]\nAfterUninst=after.exe\n");
  EXPECT_EQ(settings.after_uninst, "after.exe");
  EXPECT_EQ(settings.prog_exe, "-1");
}

}  // namespace
}  // namespace uninstall
