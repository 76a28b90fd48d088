#include "shell/shell_integration.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "external/system_launcher.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_processes.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_security.h"
#include "fakes/fake_window_toolkit.h"
#include "fakes/status_bar_progress.h"
#include "shell/user_tasks.h"
#include "ui/control_ids.h"

namespace uninstall {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr char kDescription[] = "C:\\App\\uninstall.dat";
constexpr char kRegsvr32[] = "C:\\Sys\\regsvr32.exe";

class ShellIntegrationTest : public ::testing::Test {
 protected:
  ShellIntegrationTest() { fs_.AddFile("C:\\App\\Uninstall.exe", "MZ"); }

  void Describe(const std::string& text) { fs_.AddFile(kDescription, text); }

  // [UserTask] with Number=`count` and the given Task<i> lines.
  void Tasks(int count, const std::vector<std::string>& lines) {
    std::string text = "[UserTask]\r\nNumber=" + std::to_string(count) + "\r\n";
    for (const auto& line : lines) text += line + "\r\n";
    Describe(text);
  }

  // As the driver runs it: with status texts and the check box read once from the window, or
  // quiet, without either.
  void Run(bool interactive) {
    log_.Clear();
    const Description description(fs_, kDescription);
    StatusBarProgress window_progress(windows_);
    NoProgress quiet;
    const bool delete_all = interactive && windows_.IsChecked(kDeleteAllCheckBox);
    Progress& progress = interactive ? static_cast<Progress&>(window_progress) : quiet;
    RemoveShellIntegration({fs_, registry_, launcher_, progress}, description, settings_,
                           delete_all);
  }

  std::vector<std::string> Calls(const std::string& prefix) const { return log_.Matching(prefix); }

  CallLog log_;
  FakeFileSystem fs_{&log_};
  FakeRegistry registry_{&log_};
  FakeWindowToolkit windows_{&log_};
  FakeProcesses processes_{&log_};
  FakeSecurity security_{&log_};
  SystemLauncher system_launcher_{processes_, fs_, security_};
  ProgramLauncher launcher_{system_launcher_, processes_};
  UninstallSettings settings_;
};

TEST_F(ShellIntegrationTest, StartMenuLinksFallBackToPifAndShowTheFileDeleted) {
  Describe(
      "[StartMenu]\r\nProgram=C:\\M\\App.lnk\r\nAddExe=C:\\M.lnk\\Add.lnk\r\nHelp=\r\n"
      "Homepage=C:\\M\\Web.lnk\r\nAutorenew=C:\\M\\Renew.lnk\r\nUninstall=C:\\M\\Un.LNK\r\n");
  fs_.AddFile("C:\\M\\Renew.lnk");
  fs_.AddFile("C:\\M\\App.pif");
  fs_.AddFile("C:\\M.pif\\Add.pif");
  fs_.AddFile("C:\\M\\Web.lnk");
  fs_.AddFile("C:\\M\\Web.pif");
  fs_.AddFile("C:\\M\\Un.pif");
  Run(true);
  EXPECT_THAT(Calls("SetStatusText"),
              ElementsAre("SetStatusText   C:\\M\\App.pif", "SetStatusText   C:\\M.pif\\Add.pif",
                          "SetStatusText   C:\\M\\Web.lnk", "SetStatusText   C:\\M\\Renew.lnk",
                          "SetStatusText   C:\\M\\Un.LNK"));
  EXPECT_FALSE(fs_.Exists("C:\\M\\Renew.lnk"));
  // An existing .lnk keeps its .pif; an upper-case .LNK is never rewritten.
  EXPECT_FALSE(fs_.Exists("C:\\M\\App.pif"));
  EXPECT_FALSE(fs_.Exists("C:\\M.pif\\Add.pif"));
  EXPECT_FALSE(fs_.Exists("C:\\M\\Web.lnk"));
  EXPECT_TRUE(fs_.Exists("C:\\M\\Web.pif"));
  EXPECT_TRUE(fs_.Exists("C:\\M\\Un.pif"));
  EXPECT_EQ(fs_.OpenHandles(), 0);
}

TEST_F(ShellIntegrationTest, DesktopLinkShowsTheConfiguredPathAndKeepsTheFallback) {
  settings_.desktop_icon = "C:\\D\\App.lnk";
  fs_.AddFile("C:\\D\\App.pif");
  Run(true);
  EXPECT_THAT(Calls("SetStatusText"), ElementsAre("SetStatusText   C:\\D\\App.lnk"));
  EXPECT_FALSE(fs_.Exists("C:\\D\\App.pif"));
  EXPECT_EQ(settings_.desktop_icon, "C:\\D\\App.lnk");  // the settings stay as read

  // An existing link is deleted under its own name.
  settings_.desktop_icon = "C:\\D\\Other.lnk";
  fs_.AddFile("C:\\D\\Other.lnk");
  fs_.AddFile("C:\\D\\Other.pif");
  Run(false);
  EXPECT_FALSE(fs_.Exists("C:\\D\\Other.lnk"));
  EXPECT_TRUE(fs_.Exists("C:\\D\\Other.pif"));
  EXPECT_EQ(settings_.desktop_icon, "C:\\D\\Other.lnk");
}

TEST_F(ShellIntegrationTest, ProductKeyGoesOnlyOnRequestFromTheWindow) {
  const std::string key = "SOFTWARE\\Marrowind\\{G}";
  registry_.SetValue(kCurrentUser, key, "InstallDir");
  registry_.SetValue(kCurrentUser, key, "Other");
  settings_.guid = "{G}";

  Run(false);  // quiet: the check box isn't even looked at
  EXPECT_THAT(Calls("IsChecked"), IsEmpty());
  Run(true);  // not ticked
  EXPECT_THAT(Calls("IsChecked"), ElementsAre("IsChecked 10"));
  windows_.SetChecked(kDeleteAllCheckBox, Checked::kYes);
  settings_.guid = "";
  Run(true);
  EXPECT_THAT(Calls("CreateKey"), IsEmpty());
  EXPECT_TRUE(registry_.HasValue(kCurrentUser, key, "InstallDir"));

  settings_.guid = "{G}";
  registry_.AddKey(kCurrentUser, "SOFTWARE\\Marrowind\\{Another}");
  Run(true);
  EXPECT_THAT(Calls("SetStatusText"), ElementsAre("SetStatusText   " + key));
  EXPECT_THAT(Calls("Delete"), ElementsAre("DeleteValue InstallDir", "DeleteValue DataDir",
                                           "DeleteValue StartMenu", "DeleteValue DesktopIcon",
                                           "DeleteKey " + key, "DeleteKey SOFTWARE\\Marrowind\\"));
  EXPECT_THAT(Calls("CreateKey"),
              ElementsAre("CreateKey 80000001 " + key, testing::_, testing::_, testing::_));
  EXPECT_FALSE(registry_.HasKey(kCurrentUser, key));
  EXPECT_TRUE(registry_.HasKey(kCurrentUser, "SOFTWARE\\Marrowind"));  // another product's

  // The last product's key takes the common parent with it.
  settings_.guid = "{Another}";
  Run(true);
  EXPECT_FALSE(registry_.HasKey(kCurrentUser, "SOFTWARE\\Marrowind"));
}

TEST_F(ShellIntegrationTest, TaskNumbersAndKindsFollowTheInstallersRules) {
  fs_.AddFile("C:\\App\\one.txt");
  fs_.AddFile("C:\\App\\three.txt");
  fs_.AddFile("C:\\App\\notanumber.txt");
  Tasks(3, {"Task1=0|  C:\\App\\one.txt  |ignored", "Task3=x|C:\\App\\three.txt",
            "Task4=0|C:\\App\\notanumber.txt"});
  Run(true);
  // Task2 is missing and Task4 is past the count.
  EXPECT_THAT(Calls("SetStatusText"), ElementsAre("SetStatusText   C:\\App\\one.txt",
                                                  "SetStatusText   C:\\App\\three.txt"));
  EXPECT_TRUE(fs_.Exists("C:\\App\\notanumber.txt"));

  // Kinds: wrap-around, leading zeros, blanks, tabs and signs.
  Tasks(7, {"Task1=4294967302|2147483650|Software\\A|V",
            "Task2=-4294967290| \t-2147483647|Software\\B|W", "Task3=09|C:\\Sys\\|C:\\App\\a.dll",
            "Task4= \t+9|C:\\Sys\\|C:\\App\\b.dll", "Task5=10|txt|app.exe",
            "Task6=", "Task7=6|2147483649|Software\\C"});
  registry_.SetValue(kLocalMachine, "Software\\A", "V");
  registry_.SetValue(kCurrentUser, "Software\\B", "W");
  registry_.SetValue(kCurrentUser, "Software\\C", "");
  Run(true);
  EXPECT_THAT(Calls("SetStatusText"),
              ElementsAre("SetStatusText   ...\\Software\\A\\V",
                          "SetStatusText   ...\\Software\\B\\W", "SetStatusText   C:\\App\\a.dll",
                          "SetStatusText   C:\\App\\b.dll", "SetStatusText   ...\\Software\\C\\"));
  EXPECT_FALSE(registry_.HasValue(kLocalMachine, "Software\\A", "V"));
  EXPECT_FALSE(registry_.HasValue(kCurrentUser, "Software\\B", "W"));
  EXPECT_FALSE(registry_.HasValue(kCurrentUser, "Software\\C", ""));  // too few fields: default
  EXPECT_THAT(Calls("CreateProcess"), ::testing::SizeIs(2));
  EXPECT_THAT(Calls("VersionWord"), ::testing::SizeIs(1));
  EXPECT_THAT(Calls("DeleteKey .txt"), ElementsAre("DeleteKey .txt"));
}

TEST_F(ShellIntegrationTest, RegistryValueTaskLeavesAMissingKeyCreated) {
  Tasks(1, {"Task1=6|2147483650|Software\\X|Y"});
  Run(false);
  EXPECT_THAT(Calls("SetStatusText"), IsEmpty());
  EXPECT_THAT(registry_.Dump(), ElementsAre("80000002\\Software", "80000002\\Software\\X"));
}

TEST_F(ShellIntegrationTest, NegativeOrZeroCountHandlesNoTask) {
  fs_.AddFile("C:\\App\\one.txt");
  for (int count : {0, -1}) {
    Tasks(count, {"Task1=0|C:\\App\\one.txt"});
    Run(true);
    EXPECT_TRUE(fs_.Exists("C:\\App\\one.txt"));
  }
  Describe("[UserTask]\r\nTask1=0|C:\\App\\one.txt\r\n");  // no Number at all
  Run(true);
  EXPECT_TRUE(fs_.Exists("C:\\App\\one.txt"));
  EXPECT_THAT(Calls("EraseFile"), IsEmpty());
}

// A corrupt count ends at the highest task line instead of reading two billion missing ones.
TEST_F(ShellIntegrationTest, HugeCountStopsAfterTheLastTaskLine) {
  fs_.AddFile("C:\\App\\one.txt");
  fs_.AddFile("C:\\App\\nine.txt");
  Tasks(2147483647, {"Task1=0|C:\\App\\one.txt",
                     "Task2=", "Task3=", "Task4=", "Task5=", "TASK9=0|C:\\App\\nine.txt"});
  // Every task line visited, empty or not, lets a window breathe.
  StatusBarProgress heartbeat(windows_);
  RemoveShellIntegration({fs_, registry_, launcher_, heartbeat}, Description(fs_, kDescription),
                         settings_, false);
  EXPECT_FALSE(fs_.Exists("C:\\App\\one.txt"));
  EXPECT_FALSE(fs_.Exists("C:\\App\\nine.txt"));
  EXPECT_GE(heartbeat.beats, 6);
}

TEST_F(ShellIntegrationTest, DllGoesToTheToolAsOneQuotedArgumentAndIsDeletedAfterIt) {
  processes_.AddProgram(kRegsvr32, 3);  // fails, as on a file that is no DLL
  fs_.AddFile("C:\\Program Files\\App\\my lib.dll");
  fs_.AddFile("C:\\App\\q.dll");
  fs_.AddFile("C:\\Lib\\s.dll");
  Tasks(4, {"Task1=9|C:\\Sys\\|C:\\Program Files\\App\\my lib.dll",
            "Task2=9|C:\\Sys\\|\"C:\\App\\q.dll\"", "Task3=9|C:\\Sys\\|C:/Lib/s.dll",
            "Task4=9||bare.dll"});
  Run(true);
  EXPECT_THAT(
      Calls("CreateProcess"),
      ElementsAre(
          "CreateProcess \"C:\\Sys\\regsvr32.exe\" /S /U \"C:\\Program Files\\App\\my lib.dll\" | "
          "C:\\Program Files\\App\\ | 1",
          "CreateProcess \"C:\\Sys\\regsvr32.exe\" /S /U \"C:\\App\\q.dll\" | C:\\App\\ | 1",
          "CreateProcess \"C:\\Sys\\regsvr32.exe\" /S /U \"C:/Lib/s.dll\" | C:/Lib/ | 1",
          // Without a directory of its own, the system's, never one found by its bare name.
          "CreateProcess \"C:\\Windows\\system32\\regsvr32.exe\" /S /U \"bare.dll\" | (none) | 1"));
  EXPECT_THAT(Calls("SetStatusText"),
              ElementsAre("SetStatusText   C:\\Program Files\\App\\my lib.dll",
                          "SetStatusText   \"C:\\App\\q.dll\"", "SetStatusText   C:/Lib/s.dll",
                          "SetStatusText   bare.dll"));
  EXPECT_THAT(Calls("EraseFile"), ElementsAre("EraseFile C:\\Program Files\\App\\my lib.dll",
                                              "EraseFile C:\\App\\q.dll", "EraseFile C:/Lib/s.dll",
                                              "EraseFile bare.dll"));
  EXPECT_FALSE(fs_.Exists("C:\\Program Files\\App\\my lib.dll"));
  EXPECT_FALSE(fs_.Exists("C:\\App\\q.dll"));
  EXPECT_FALSE(fs_.Exists("C:\\Lib\\s.dll"));
  // Waited for: the DLL goes only once the tool has ended.
  EXPECT_LT(log_.Position("WaitForProcessFor 100 50"),
            log_.Position("EraseFile C:\\Program Files\\App\\my lib.dll"));
  EXPECT_EQ(processes_.open_handles(), 0);
}

TEST_F(ShellIntegrationTest, StartMenuDirectoryGoesOnlyWhenEmpty) {
  settings_.start_menu = "C:\\M\\App";
  Describe("[StartMenu]\r\nProgram=C:\\M\\App\\App.lnk\r\n");
  fs_.AddFile("C:\\M\\App\\App.lnk");
  fs_.AddFile("C:\\M\\App\\Foreign.lnk");
  Run(true);
  EXPECT_THAT(Calls("SetStatusText"), ElementsAre("SetStatusText   C:\\M\\App\\App.lnk"));
  EXPECT_TRUE(fs_.Exists("C:\\M\\App\\Foreign.lnk"));

  fs_.AddFile("C:\\M\\App\\Sub\\x");
  fs_.EraseFile("C:\\M\\App\\Foreign.lnk");
  Run(true);
  EXPECT_TRUE(fs_.Exists("C:\\M\\App\\Sub\\x"));

  fs_.EraseFile("C:\\M\\App\\Sub\\x");
  fs_.EraseDirectory("C:\\M\\App\\Sub");
  Run(true);
  EXPECT_EQ(Calls("SetStatusText").back(), "SetStatusText   C:\\M\\App");
  EXPECT_FALSE(fs_.Exists("C:\\M\\App"));
  EXPECT_TRUE(fs_.Exists("C:\\M"));
}

}  // namespace
}  // namespace uninstall
