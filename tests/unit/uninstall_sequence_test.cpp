#include "driver/uninstall_sequence.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

#include "external/script_process.h"
#include "fakes/fake_world.h"
#include "ui/control_ids.h"

namespace uninstall {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::SizeIs;

class SequenceTest : public ::testing::Test, public FakeWorld {
 protected:
  using FakeWorld::Run;  // not the test's own
};

TEST_F(SequenceTest, MissingDescriptionShowsOnlyTheErrorBoxAndExitsWithZero) {
  fs.AddFile("C:\\App\\Uninstall.exe", "MZ");
  EXPECT_EQ(Run(), 0);
  EXPECT_THAT(Calls("MessageBox"),
              ElementsAre("MessageBox  Marrowind - Error | Could not find 'uninstall.dat':\n"
                          "C:\\App\\uninstall.dat | 16"));
  EXPECT_THAT(Calls("OpenWindow 1"), IsEmpty());
  EXPECT_THAT(Calls("OpenFile"), IsEmpty());
  EXPECT_EQ(log.entries().back(), "ReleaseProgramIcon");

  // A directory of that name is no description either.
  fs.AddDirectory("C:\\App\\uninstall.dat");
  Run("/Q");
  EXPECT_EQ(Calls("MessageBox").size(), 1u);
  EXPECT_THAT(Calls("StartHidden"), IsEmpty());
}

TEST_F(SequenceTest, UnknownOrCutOwnPathCountsAsMissingDescription) {
  // A path that fills the 260-character buffer was cut short and names another directory.
  const std::string cut = "C:\\" + std::string(251, 'x') + "\\Uninstall.exe";
  fs.AddFile("uninstall.dat", "[Settings]\nProgExe=App.exe\n");  // never looked at
  for (const std::string& own_path : {std::string(), cut}) {
    processes.module_path = own_path;
    EXPECT_EQ(Run("/Q"), 0);
    EXPECT_THAT(Calls("MessageBox"),
                ElementsAre("MessageBox  Marrowind - Error | Could not find 'uninstall.dat':\n"
                            "uninstall.dat | 16"));
    EXPECT_THAT(Calls("FindFirst"), IsEmpty());
  }
}

// A folder name that the code page cannot hold would read, best fit, as another folder's name:
// nothing is read or removed there, and the box says why, in both modes.
TEST_F(SequenceTest, OwnPathTheCodePageCannotHoldStopsBeforeReadingAnything) {
  processes.module_path = "C:\\Program Files\\???\\Uninstall.exe";
  processes.module_path_exact = false;
  fs.AddFile("C:\\Program Files\\???\\uninstall.dat", "[Settings]\nProgExe=App.exe\n");
  for (const char* parameters : {" /Q", ""}) {
    EXPECT_EQ(Run(parameters), 0);
    EXPECT_THAT(
        Calls("MessageBox"),
        ElementsAre("MessageBox  Marrowind - Error | The uninstaller cannot work in a folder "
                    "whose name the system's code page cannot hold:\n"
                    "C:\\Program Files\\???\\ | 16"));
    EXPECT_THAT(Calls("FindFirst"), IsEmpty());
    EXPECT_THAT(Calls("OpenFile"), IsEmpty());
    EXPECT_THAT(Calls("OpenWindow"), IsEmpty());
    EXPECT_EQ(log.entries().back(), "ReleaseProgramIcon");
  }
}

TEST_F(SequenceTest, UninstallerDirComesFromTheOwnPathWithEitherSeparator) {
  processes.module_path = "C:\\Some Dir/Sub/Uninstall.exe";
  fs.AddFile("C:\\Some Dir\\Sub\\Uninstall.exe", "MZ");
  Run();
  EXPECT_THAT(Calls("MessageBox"),
              ElementsAre("MessageBox  Marrowind - Error | Could not find 'uninstall.dat':\n"
                          "C:\\Some Dir/Sub/uninstall.dat | 16"));
}

TEST_F(SequenceTest, ExistingMutexShowsTheWarningAndRemovesNothing) {
  Install(std::string(kBasicDescription) + "[Settings]\r\n");
  fs.AddFile("C:\\App\\uninstall.dat",
             "[Settings]\nProgName=MyApp\nProgExe=App.exe\nMutexString=MyAppMutex\n"
             "[Files]\nF=App.exe\n");
  processes.existing_mutexes = {"MyAppMutex"};
  EXPECT_EQ(Run("/Q"), 0);
  EXPECT_THAT(Calls("MessageBox"),
              ElementsAre("MessageBox Uninstall Program | Close Program 'MyApp' first!\n"
                          "Then press OK! | 48"));
  EXPECT_THAT(Calls("CreateNamedMutex"), ElementsAre("CreateNamedMutex MyAppMutex"));
  EXPECT_EQ(Calls("ReleaseNamedMutex").size(), 1u);
  EXPECT_EQ(Calls("CloseMutex").size(), 1u);
  EXPECT_EQ(processes.open_handles(), 0);
  EXPECT_TRUE(fs.Exists("C:\\App\\App.exe"));
  EXPECT_TRUE(fs.Exists("C:\\App\\uninstall.dat"));
  EXPECT_THAT(Calls("StartHidden"), IsEmpty());
  EXPECT_EQ(log.entries().back(), "ReleaseProgramIcon");

  // Without MutexString, a process of ProgExe's name blocks the run the same way.
  Install(kBasicDescription);
  processes.process_names = {"C:\\Other\\APP.EXE"};
  Run("/Q");
  EXPECT_THAT(Calls("MessageBox"),
              ElementsAre("MessageBox Uninstall Program | Close Program 'MyApp' first!\n"
                          "Then press OK! | 48"));
  EXPECT_THAT(Calls("CreateNamedMutex"), IsEmpty());
  EXPECT_TRUE(fs.Exists("C:\\App\\App.exe"));
  EXPECT_TRUE(fs.Exists("C:\\App\\uninstall.dat"));
}

TEST_F(SequenceTest, MutexThatDidNotExistIsClosedAndTheRunGoesOn) {
  Install("[Settings]\nProgExe=App.exe\nMutexString=Other\n[Files]\nF=App.exe\n");
  processes.process_names = {"App.exe"};  // not looked at: the mutex decides
  Run("/Q");
  EXPECT_THAT(Calls("OpenProcessList"), IsEmpty());
  EXPECT_THAT(Calls("ReleaseNamedMutex"), IsEmpty());
  EXPECT_EQ(Calls("CloseMutex").size(), 1u);
  EXPECT_THAT(Calls("MessageBox"), IsEmpty());
  EXPECT_FALSE(fs.Exists("C:\\App\\App.exe"));

  // A mutex that cannot be created counts as "not running".
  Install("[Settings]\nProgExe=App.exe\nMutexString=Other\n[Files]\nF=App.exe\n");
  processes.mutex_creation_fails = true;
  Run("/Q");
  EXPECT_THAT(Calls("MessageBox"), IsEmpty());
  EXPECT_FALSE(fs.Exists("C:\\App\\App.exe"));
}

TEST_F(SequenceTest, BeforeProgramExitCodeOneCancelsSilently) {
  Install(
      "[Settings]\nProgExe=App.exe\nScript=1\n[StartProg]\nBeforeUninst=before.exe\n"
      "BeforeParam=-x\n[Files]\nF=App.exe\n");
  fs.AddFile("C:\\App\\before.exe", "MZ");
  processes.AddProgram("C:\\App\\before.exe", 1);
  EXPECT_EQ(Run("/Q"), 0);
  EXPECT_THAT(Calls("CreateProcess"),
              ElementsAre("CreateProcess \"C:\\App\\before.exe\" -x | C:\\App\\ | 1"));
  EXPECT_EQ(Calls("WaitForProcess").size(), 1u);
  EXPECT_THAT(Calls("MessageBox"), IsEmpty());
  EXPECT_TRUE(fs.Exists("C:\\App\\App.exe"));
  EXPECT_TRUE(fs.Exists("C:\\App\\uninstall.dat"));
  EXPECT_TRUE(fs.Exists("C:\\App\\before.exe"));
  EXPECT_THAT(Calls("StartHidden"), IsEmpty());
  EXPECT_EQ(processes.open_handles(), 0);
  EXPECT_EQ(log.entries().back(), "ReleaseProgramIcon");
}

TEST_F(SequenceTest, BeforeProgramWithAnotherExitCodeLetsTheRunGoOn) {
  for (std::uint32_t code : {0u, 2u}) {
    Install(
        "[Settings]\nProgExe=App.exe\n[StartProg]\nBeforeUninst=before.exe\n"
        "[Files]\nF=App.exe\n");
    fs.AddFile("C:\\App\\before.exe", "MZ");
    processes.AddProgram("C:\\App\\before.exe", code);
    Run("/Q");
    EXPECT_FALSE(fs.Exists("C:\\App\\App.exe")) << code;
    // The before-program is one of the leftovers.
    EXPECT_FALSE(fs.Exists("C:\\App\\before.exe")) << code;
    EXPECT_FALSE(fs.Exists("C:\\App\\uninstall.dat")) << code;
  }
}

TEST_F(SequenceTest, BeforeProgramThatCannotBeStartedDoesNotBlockTheUninstall) {
  Install(
      "[Settings]\nProgExe=App.exe\n[StartProg]\nBeforeUninst=broken.exe\n"
      "[Files]\nF=App.exe\n");
  fs.AddFile("C:\\App\\broken.exe", "not a program");
  Run("/Q");
  EXPECT_EQ(Calls("CreateProcess").size(), 1u);
  EXPECT_EQ(Calls("ShellExecuteEx").size(), 1u);
  EXPECT_FALSE(fs.Exists("C:\\App\\App.exe"));
  EXPECT_FALSE(fs.Exists("C:\\App\\uninstall.dat"));
}

TEST_F(SequenceTest, MissingBeforeProgramIsNotStarted) {
  Install("[Settings]\nProgExe=App.exe\n[StartProg]\nBeforeUninst=gone.exe\n[Files]\nF=App.exe\n");
  Run("/Q");
  EXPECT_THAT(Calls("CreateProcess"), IsEmpty());
  EXPECT_FALSE(fs.Exists("C:\\App\\uninstall.dat"));
}

// The script runs in a second instance of the uninstaller, before any confirmation, told what to
// run only through the pipe it is handed, and is waited for at most its time; one that is still
// running then is ended, and the uninstallation goes on.
TEST_F(SequenceTest, ScriptRunsInASecondInstanceBeforeAnyConfirmation) {
  const std::string description =
      "[Settings]\nProgExe=App.exe\nStartMenu=C:\\Menu\\\nGUID={G}\nScript=1\n[Files]\nF=App.exe\n";
  for (bool endless : {false, true}) {
    SCOPED_TRACE(endless ? "a script that never ends" : "a script that ends");
    Install(description);
    fs.AddFile("C:\\App\\Uninstall.vbs", "x = 1\n");
    fs.AddFile("C:\\App\\Uninstall.js", "x = 2;\n");
    processes.AddProgram("C:\\App\\Uninstall.exe", 0);
    processes.timed_waits_before_exit = endless ? 1000000 : 3;
    Run("/Q");
    const std::vector<std::string> pipes = Calls("CreatePipe");
    ASSERT_THAT(pipes, SizeIs(1));
    const std::vector<std::string> starts = Calls("CreateProcess");
    ASSERT_THAT(starts, SizeIs(1));
    // The read end, by its number, is the second parameter and the one handle handed over.
    const std::string read_end = starts[0].substr(starts[0].rfind(' ') + 1);
    EXPECT_EQ(starts[0], "CreateProcess \"C:\\App\\Uninstall.exe\" /UNINSTSCRIPT " + read_end +
                             " | (none) | 1 | handing " + read_end);
    const std::optional<ScriptRequest> request = DecodedScriptRequest(processes.handed_bytes);
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->script, "C:\\App\\Uninstall.vbs");
    EXPECT_EQ(request->constants.uninstaller_dir, "C:\\App\\");
    EXPECT_EQ(request->constants.start_menu, "C:\\Menu\\");
    EXPECT_EQ(request->constants.guid, "{G}");
    EXPECT_FALSE(request->allow_ui);  // quiet: nobody to answer the engine's dialogs
    // Written whole and the write end closed before the instance starts.
    EXPECT_LT(Position("WritePipe"), Position("CreateProcess"));
    EXPECT_LT(Position("ClosePipe"), Position("CreateProcess"));
    EXPECT_THAT(Calls("SetEnvironmentValue UNINST_SCRIPT"), IsEmpty());
    EXPECT_EQ(Calls("WaitForProcessFor").size(), endless ? 440u : 4u);  // 22 s in slices of 50 ms
    EXPECT_EQ(Calls("EndProcess").size(), endless ? 1u : 0u);
    EXPECT_LT(Position("CreateProcess"), Position("DeleteOnClose"));
    EXPECT_FALSE(fs.Exists("C:\\App\\App.exe"));
    EXPECT_FALSE(fs.Exists("C:\\App\\Uninstall.vbs"));
    EXPECT_FALSE(fs.Exists("C:\\App\\Uninstall.js"));
    EXPECT_EQ(processes.open_handles(), 0);
  }

  // Without the VBScript file the JScript one runs, in the window before OK or Cancel, with the
  // engine's dialogs allowed.
  Install(description);
  fs.AddFile("C:\\App\\Uninstall.js", "x = 2;\n");
  processes.timed_waits_before_exit = 0;
  windows.QueueClick(kCancelButton);
  Run();
  const std::optional<ScriptRequest> request = DecodedScriptRequest(processes.handed_bytes);
  ASSERT_TRUE(request.has_value());
  EXPECT_EQ(request->script, "C:\\App\\Uninstall.js");
  EXPECT_TRUE(request->allow_ui);
  EXPECT_LT(Position("CreateProcess"), Position("OpenWindow 1"));

  Install("[Settings]\nProgExe=App.exe\nScript=256\n");  // only the low 8 bits count
  Run("/Q");
  EXPECT_THAT(Calls("CreateProcess"), IsEmpty());
}

// In the window, a script still running when its time is up is not simply ended: the user is
// asked, as the engine would, whether to stop it, and again after each further span; Yes ends
// it, and a question that the script's end overtakes goes by itself. Quiet mode has nobody to
// ask.
TEST_F(SequenceTest, InTheWindowTheUserDecidesWhetherALongScriptStops) {
  struct Row {
    const char* mode;
    int waits_before_exit;
    std::vector<int> answers;
    std::size_t questions;
    bool ended;
  };
  for (const Row& row : {
           Row{"", 1000000, {7, 6}, 2, true},  // No, then Yes
           Row{"", 445, {kBoxClosedByEnd}, 1, false},
           Row{"", 100, {}, 0, false},
           Row{"/Q", 1000000, {}, 0, true},
       }) {
    SCOPED_TRACE(::testing::Message() << row.mode << " " << row.waits_before_exit);
    Install(
        "[Settings]\nProgExe=App.exe\nScript=1\n[Files]\nF=App.exe\n"
        "[Language]\nTitel=Uninstall App\nScriptTimeout=Stop the script?\n");
    fs.AddFile("C:\\App\\Uninstall.vbs", "x = 1\n");
    processes.AddProgram("C:\\App\\Uninstall.exe", 0);
    processes.timed_waits_before_exit = row.waits_before_exit;
    windows.box_answers.assign(row.answers.begin(), row.answers.end());
    windows.QueueClick(kCancelButton);
    Run(row.mode);
    EXPECT_EQ(Calls("MessageBoxUntilEnded").size(), row.questions);
    if (row.questions > 0) {
      EXPECT_EQ(Calls("MessageBox ")[0], "MessageBox  Uninstall App | Stop the script? | 36");
    }
    EXPECT_EQ(Calls("EndProcess").size(), row.ended ? 1u : 0u);
    EXPECT_LT(Position("CreateProcess"), Position("OpenWindow 1"));
  }
}

// The second instance runs the script its pipe names, and nothing else: no uninstall.dat is
// read, nothing removed, no window opened. Started with the switch but without a pipe holding a
// request (the old way through the environment, a number that is no pipe, a pipe of another
// program's), an instance runs no script and goes on as any run without "/Q" does.
TEST_F(SequenceTest, SecondInstanceRunsTheScriptOfItsPipeAndNothingElse) {
  const std::string request = EncodedScriptRequest(
      ScriptRequest{"C:\\App\\Uninstall.vbs", ScriptConstants{"C:\\App\\", "", "{G}"}, false});
  Install("[Settings]\nProgExe=App.exe\nScript=1\n[Files]\nF=App.exe\n");
  fs.AddFile("C:\\App\\Uninstall.vbs", "x = 1\n");
  processes.handed_pipes = {{1234, request}};
  EXPECT_EQ(Run(" /UNINSTSCRIPT 1234"), 0);
  EXPECT_EQ(log.entries().front(), "ReadHandedPipe 1234");
  EXPECT_THAT(Calls("ScriptEngine.AllowUI"), ElementsAre("ScriptEngine.AllowUI 0"));
  EXPECT_THAT(Calls("ScriptEngine.AddCode"),
              ElementsAre("ScriptEngine.AddCode Const mwProgDir = \"C:\\App\\\"\r\n"
                          "Const mwStartMenuDir = \"\"\r\nConst mwGUID = \"{G}\"\r\n"
                          "x = 1\r\n"));
  EXPECT_EQ(log.entries().back(), "ScriptEngine.Release");
  EXPECT_THAT(Calls("OpenFile C:\\App\\uninstall.dat"), IsEmpty());
  EXPECT_THAT(Calls("OpenWindow"), IsEmpty());
  EXPECT_TRUE(fs.Exists("C:\\App\\App.exe"));

  struct Row {
    const char* parameters;
    std::map<std::uint64_t, std::string> pipes;
  };
  for (const Row& row : {
           Row{" /UNINSTSCRIPT", {}},
           Row{" /UNINSTSCRIPT 1234", {}},
           Row{" /UNINSTSCRIPT 1234", {{1234, "C:\\evil\\x.vbs"}}},
           Row{" /UNINSTSCRIPT 1234", {{1234, request.substr(0, request.size() - 1)}}},
           Row{" /UNINSTSCRIPT 0x4d2", {{1234, request}}},
           Row{" /Q 1234", {{1234, request}}},
       }) {
    SCOPED_TRACE(row.parameters);
    Install("[Settings]\nProgExe=App.exe\n[Files]\nF=App.exe\n");
    fs.AddFile("C:\\App\\Uninstall.vbs", "x = 1\n");
    processes.handed_pipes = row.pipes;
    processes.environment = {{"UNINST_SCRIPT", "C:\\App\\Uninstall.vbs"}};
    windows.QueueClick(kCancelButton);
    EXPECT_EQ(Run(row.parameters), 0);
    EXPECT_THAT(Calls("ScriptEngine.AddCode"), IsEmpty());
    EXPECT_THAT(Calls("OpenFile C:\\App\\uninstall.dat"), SizeIs(2));
  }
}

// uninstall.dat is read twice: for the settings and texts, and once more after the script (or
// the before-program), which may rewrite it; the removal follows that second reading, and nothing
// reads the file once the removal has begun.
TEST_F(SequenceTest, DescriptionIsReadAtStartAndOnceMoreAfterTheScript) {
  for (bool window : {false, true}) {
    SCOPED_TRACE(window ? "window" : "quiet");
    Install("[Settings]\nProgExe=App.exe\nScript=1\n[Files]\nF=App.exe\n");
    fs.AddFile("C:\\App\\Uninstall.vbs");
    fs.AddFile("C:\\App\\extra.txt");
    processes.AddProgram("C:\\App\\Uninstall.exe", 0);
    processes.on_start = [&](const std::string&) {
      fs.AddFile("C:\\App\\uninstall.dat",
                 "[Settings]\nProgExe=App.exe\n[Files]\nF=App.exe\nG=extra.txt\n");
    };
    if (window) windows.QueueClick(kOkButton);
    Run(window ? "" : "/Q");
    const std::vector<std::string>& entries = log.entries();
    const auto opens = Calls("OpenFile C:\\App\\uninstall.dat");
    ASSERT_EQ(opens.size(), 2u);
    const std::size_t last_open =
        entries.size() - 1 -
        (std::find(entries.rbegin(), entries.rend(), opens.back()) - entries.rbegin());
    EXPECT_GT(last_open, Position("CreateProcess"));  // after the script
    EXPECT_LT(last_open, Position("DeleteOnClose"));  // before the removal
    EXPECT_FALSE(fs.Exists("C:\\App\\extra.txt"));
    processes.on_start = nullptr;
  }
}

// The after-program runs once the links, the tasks and the start-menu directory are gone, before
// the program files and the entry, with its parameters, and is waited for.
TEST_F(SequenceTest, AfterProgramRunsBetweenTheShellIntegrationAndTheFiles) {
  Install(
      "[Settings]\nProgExe=App.exe\nStartMenu=C:\\M\nDesktopIcon=C:\\D\\App.lnk\n"
      "[StartProg]\nAfterUninst=after.exe\nAfterParam=/done \"x y\"\n[Files]\nF=App.exe\n");
  fs.AddDirectory("C:\\M");
  fs.AddFile("C:\\D\\App.pif");
  fs.AddFile("C:\\App\\after.exe");
  processes.AddProgram("C:\\App\\after.exe", 1);
  Run("/Q");
  EXPECT_THAT(Calls("CreateProcess"),
              ElementsAre("CreateProcess \"C:\\App\\after.exe\" /done \"x y\" | C:\\App\\ | 1"));
  EXPECT_LT(Position("EraseFile C:\\D\\App.pif"), Position("EraseDirectory C:\\M"));
  EXPECT_LT(Position("EraseDirectory C:\\M"), Position("CreateProcess"));
  EXPECT_LT(Position("WaitForProcessFor"), Position("DeleteOnClose C:\\App\\App.exe"));
  EXPECT_THAT(Calls("SetStatusText"), IsEmpty());
  EXPECT_EQ(processes.open_handles(), 0);

  // Named but missing beside the uninstaller: nothing starts.
  Install("[Settings]\nProgExe=App.exe\n[StartProg]\nAfterUninst=gone.exe\n[Files]\nF=App.exe\n");
  windows.QueueClick(kOkButton);
  Run();
  EXPECT_THAT(Calls("CreateProcess"), IsEmpty());
  EXPECT_THAT(Calls("ShellExecute"), IsEmpty());
}

TEST_F(SequenceTest, QuietRunRemovesFilesThenLeftoversThenStartsTheBatch) {
  Install(
      "[Settings]\nProgExe=App.exe\n[StartProg]\nAfterUninst=after.exe\n"
      "[Files]\nF1=App.exe\nF2=Uninstall.exe\n");
  fs.AddFile("C:\\App\\Uninstall.vbs");
  fs.AddFile("C:\\App\\Uninstall.js");
  fs.AddFile("C:\\App\\user.txt");
  EXPECT_EQ(Run("/Q"), 0);

  std::vector<std::string> erased = Calls("DeleteOnClose");
  // uninstall.dat last, so that a run cut short before can be run again.
  EXPECT_THAT(
      erased,
      ElementsAre("DeleteOnClose C:\\App\\App.exe", "DeleteOnClose C:\\App\\Uninstall.vbs",
                  "DeleteOnClose C:\\App\\Uninstall.js", "DeleteOnClose C:\\App\\uninstall.dat"));
  // The after-program is looked for, and is not there.
  EXPECT_LT(Position("OpenNode C:\\App\\after.exe"),
            Position("DeleteOnClose C:\\App\\uninstall.dat"));
  EXPECT_TRUE(fs.Exists("C:\\App\\Uninstall.exe"));
  EXPECT_TRUE(fs.Exists("C:\\App\\user.txt"));
  EXPECT_THAT(Calls("StartHidden"), ElementsAre("StartHidden \"C:\\Windows\\system32\\cmd.exe\" /D "
                                                "/C \"\"C:\\~~uninst-4242.bat\"\" | C:\\"));
  EXPECT_TRUE(fs.Exists("C:\\~~uninst-4242.bat"));
  EXPECT_THAT(Calls("OpenWindow 1"), IsEmpty());
  EXPECT_THAT(Calls("MessageBox"), IsEmpty());
  EXPECT_EQ(fs.OpenHandles(), 0);
  EXPECT_EQ(log.entries().back(), "ReleaseProgramIcon");
}

TEST_F(SequenceTest, OnlyAnUpperCaseSlashQSelectsQuietMode) {
  Install(kBasicDescription);
  windows.window_can_open = false;
  Run(" /q");
  EXPECT_EQ(Calls("OpenWindow 1").size(), 1u);
  EXPECT_TRUE(fs.Exists("C:\\App\\App.exe"));

  Run(" \"/Quiet mode\"");
  EXPECT_THAT(Calls("OpenWindow 1"), IsEmpty());
  EXPECT_FALSE(fs.Exists("C:\\App\\App.exe"));
}

TEST_F(SequenceTest, AtADriveRootNoFilesAreRemoved) {
  processes.module_path = "D:\\Uninstall.exe";
  fs.AddDrive('D');
  fs.AddFile("D:\\Uninstall.exe", "MZ");
  fs.AddFile("D:\\App.exe", "MZ");
  fs.AddFile("D:\\uninstall.dat", "[Settings]\nProgExe=App.exe\n[Files]\nF=App.exe\n");
  Run("/Q");
  EXPECT_TRUE(fs.Exists("D:\\App.exe"));
  // Nothing was removed: as after the window's error, uninstall.dat and the uninstaller stay.
  EXPECT_TRUE(fs.Exists("D:\\uninstall.dat"));
  EXPECT_THAT(Calls("StartHidden"), IsEmpty());

  // The window shows the error box, as after a removal that removed nothing.
  fs.AddFile("D:\\uninstall.dat", "[Settings]\nProgExe=App.exe\n[Files]\nF=App.exe\n");
  windows.QueueClick(kOkButton);
  Run();
  EXPECT_TRUE(fs.Exists("D:\\App.exe"));
  EXPECT_THAT(
      Calls("MessageBox"),
      ElementsAre("MessageBox  Uninstall Program | Uninstalling program not possible. | 16"));
}

TEST_F(SequenceTest, WindowThatCannotOpenEndsTheRunWithoutAMessage) {
  Install(kBasicDescription);
  windows.window_can_open = false;
  EXPECT_EQ(Run(), 0);
  EXPECT_THAT(Calls("MessageBox"), IsEmpty());
  EXPECT_THAT(Calls("NextEvent"), IsEmpty());
  EXPECT_TRUE(fs.Exists("C:\\App\\App.exe"));
  EXPECT_THAT(Calls("CloseWindow 1"), IsEmpty());
}

TEST_F(SequenceTest, WindowOkRemovesAndReadyFinishes) {
  Install(
      "[Settings]\nProgName=MyApp\nProgExe=App.exe\n[Files]\nF=App.exe\n"
      "[StartMenu]\nProgram=C:\\M\\App.lnk\n");
  fs.AddFile("C:\\M\\App.lnk");
  windows.QueueCloseRequest();
  windows.QueueClick(kDeleteAllCheckBox + 100);
  windows.QueueClick(kOkButton);
  windows.QueueClick(kReadyButton);
  EXPECT_EQ(Run(), 0);

  const WindowSpec& window = windows.opened(kMainWindow);
  EXPECT_EQ(window.title, " MyApp");
  const auto check_box = std::find_if(window.controls.begin(), window.controls.end(),
                                      [](const ControlSpec& c) { return c.number == 10; });
  ASSERT_NE(check_box, window.controls.end());
  EXPECT_EQ(check_box->text, " Delete all(!) files in the directory (including user files).");
  // The buttons switch before anything is removed; the status text comes last.
  std::vector<std::string> entries = log.entries();
  auto at = [&](const std::string& entry) {
    return std::find(entries.begin(), entries.end(), entry) - entries.begin();
  };
  EXPECT_LT(at("ShowControl 5 0"), at("DeleteOnClose C:\\App\\App.exe"));
  EXPECT_LT(at("ShowControl 6 0"), at("ShowControl 7 1"));
  // Ready shows disabled while the removal runs, and answers once it is done.
  EXPECT_LT(at("EnableControl 7 0"), at("ShowControl 7 1"));
  EXPECT_LT(at("DeleteOnClose C:\\App\\App.exe"), at("EnableControl 7 1"));
  EXPECT_LT(at("EnableControl 10 0"), at("DeleteOnClose C:\\App\\App.exe"));
  EXPECT_LT(at("SetStatusText   Uninstalling completed."), at("NextEvent 7"));
  EXPECT_LT(at("NextEvent 7"), at("DeleteOnClose C:\\App\\uninstall.dat"));
  EXPECT_LT(at("DeleteOnClose C:\\App\\uninstall.dat"),
            at("StartHidden \"C:\\Windows\\system32\\cmd.exe\" /D /C \"\"C:\\~~uninst-4242.bat\"\" "
               "| C:\\"));
  EXPECT_LT(at("StartHidden \"C:\\Windows\\system32\\cmd.exe\" /D /C \"\"C:\\~~uninst-4242.bat\"\" "
               "| C:\\"),
            at("CloseWindow 1"));
  EXPECT_FALSE(windows.visible(kOkButton));
  EXPECT_FALSE(windows.visible(kCancelButton));
  EXPECT_TRUE(windows.visible(kReadyButton));
  EXPECT_TRUE(windows.enabled(kReadyButton));
  EXPECT_LT(at("NextEvent 5"), at("EnableControl 7 1"));
  EXPECT_LT(Position("LoadProgramIcon"), Position("OpenWindow 1"));  // the header shows it
  EXPECT_FALSE(fs.Exists("C:\\M\\App.lnk"));  // the shell integration went first
  EXPECT_LT(at("EraseFile C:\\M\\App.lnk"), at("DeleteOnClose C:\\App\\App.exe"));
  EXPECT_THAT(Calls("NextEvent (no more"), IsEmpty());
  EXPECT_THAT(Calls("MessageBox"), IsEmpty());
}

// Each button acts only in the stage that shows it; close requests, the check box, events of
// another window and stale clicks (queued while the removal ran) change nothing, and the end
// of the message queue ends the run.
TEST_F(SequenceTest, WindowEventsActOnlyInTheStageThatShowsTheirButton) {
  const struct {
    const char* events;
    bool exe_missing, removed, batch, error_box;
    std::size_t read;
  } rows[] = {
      {"close box cancel", false, false, false, false, 3},
      {"ok ok ready", false, true, true, false, 3},
      {"ok cancel close ready", false, true, true, false, 4},
      {"ready cancel", false, false, false, false, 2},
      {"ok", false, true, false, false, 1},
      {"other-ok cancel", false, false, false, false, 2},
      {"ok ready", true, false, false, true, 1},  // after the error the run ends at once
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.events);
    Install(row.exe_missing ? "[Settings]\nProgExe=Gone.exe\n[Files]\nF=App.exe\n"
                            : kBasicDescription);
    std::istringstream events(row.events);
    for (std::string event; events >> event;) {
      if (event == "close") windows.QueueCloseRequest();
      if (event == "box") windows.QueueToggle(kDeleteAllCheckBox);
      if (event == "ok") windows.QueueClick(kOkButton);
      if (event == "other-ok") windows.QueueClick(kOkButton, kLogonDialog);
      if (event == "cancel") windows.QueueClick(kCancelButton);
      if (event == "ready") windows.QueueClick(kReadyButton);
    }
    Run();
    EXPECT_EQ(!fs.Exists("C:\\App\\App.exe"), row.removed);
    EXPECT_EQ(Calls("DeleteOnClose C:\\App\\App.exe").size(), row.removed ? 1u : 0u);
    EXPECT_EQ(Calls("StartHidden").size(), row.batch ? 1u : 0u);
    EXPECT_EQ(Calls("MessageBox").size(), row.error_box ? 1u : 0u);
    EXPECT_EQ(Calls("NextEvent ").size() - Calls("NextEvent (no more").size(), row.read);
    EXPECT_EQ(Calls("CloseWindow 1").size(), 1u);
    windows = FakeWindowToolkit(&log);  // the queue may hold what the run did not read
  }
}

TEST_F(SequenceTest, CancelRemovesNothing) {
  Install(kBasicDescription);
  windows.QueueClick(kCancelButton);
  Run();
  EXPECT_TRUE(fs.Exists("C:\\App\\App.exe"));
  EXPECT_TRUE(fs.Exists("C:\\App\\uninstall.dat"));
  EXPECT_THAT(Calls("StartHidden"), IsEmpty());
  EXPECT_EQ(Calls("CloseWindow 1").size(), 1u);
}

TEST_F(SequenceTest, FailedRemovalShowsTheErrorAndSkipsLeftoversAndBatch) {
  Install("[Settings]\nProgExe=Missing.exe\nGUID={G}\n[Language]\nTitel=Weg\nError=Nope\n");
  const std::string entry = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{G}";
  registry.SetValue(kLocalMachine, entry, "DisplayName");
  windows.QueueClick(kOkButton);
  Run();
  EXPECT_THAT(Calls("MessageBox"), ElementsAre("MessageBox  Weg | Nope | 16"));
  EXPECT_FALSE(registry.HasKey(kLocalMachine, entry));  // the entry goes even so
  EXPECT_THAT(Calls("NextEvent"), ElementsAre("NextEvent 5"));
  EXPECT_TRUE(fs.Exists("C:\\App\\uninstall.dat"));
  EXPECT_THAT(Calls("StartHidden"), IsEmpty());
  EXPECT_EQ(Calls("SetStatusText   Uninstalling completed.").size(), 1u);
}

// Quiet mode ends a removal that removed nothing as the window does, without a box: the entry
// goes, but uninstall.dat, the leftovers and the uninstaller stay for a later run.
TEST_F(SequenceTest, QuietRemovalThatRemovedNothingKeepsWhatALaterRunNeeds) {
  const std::string entry = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{G}";
  for (const char* description : {"[Settings]\nProgExe=Missing.exe\nGUID={G}\n[Files]\nF=App.exe\n",
                                  "[Settings]\nProgExe=App.exe\nGUID={G}\n[Files]\nF=App.exe\n"}) {
    SCOPED_TRACE(description);
    Install(description);
    fs.SetAttributes("C:\\App\\App.exe", kAttributeReadOnly);  // from read-only media
    fs.AddFile("C:\\App\\Uninstall.vbs");
    registry.SetValue(kLocalMachine, entry, "DisplayName");
    EXPECT_EQ(Run("/Q"), 0);
    EXPECT_TRUE(fs.Exists("C:\\App\\App.exe"));
    EXPECT_TRUE(fs.Exists("C:\\App\\uninstall.dat"));
    EXPECT_TRUE(fs.Exists("C:\\App\\Uninstall.vbs"));
    EXPECT_FALSE(registry.HasKey(kLocalMachine, entry));
    EXPECT_THAT(Calls("StartHidden"), IsEmpty());
    EXPECT_THAT(Calls("MessageBox"), IsEmpty());
    fs.SetAttributes("C:\\App\\App.exe", kAttributeNormal);
  }
}

TEST_F(SequenceTest, DeleteAllTickedRemovesEverythingInTheDirectory) {
  Install("[Settings]\nProgExe=App.exe\n[Files]\nF=App.exe\n");
  fs.AddFile("C:\\App\\user.txt");
  windows.QueueToggle(kDeleteAllCheckBox);
  windows.QueueClick(kOkButton);
  windows.QueueClick(kReadyButton);
  Run();
  EXPECT_FALSE(fs.Exists("C:\\App\\user.txt"));
  EXPECT_FALSE(fs.Exists("C:\\App\\uninstall.dat"));
  EXPECT_TRUE(fs.Exists("C:\\App\\Uninstall.exe"));  // still running
  EXPECT_THAT(Calls("MessageBox"), IsEmpty());
}

TEST_F(SequenceTest, NoDelAllHidesTheCheckBoxOnlyInTheProgramDirectory) {
  Install("[Settings]\nProgExe=App.exe\nProgDir=C:\\App\nNoDelAll=1\n[Files]\nF=App.exe\n");
  fs.AddFile("C:\\App\\user.txt");
  windows.QueueToggle(kDeleteAllCheckBox);  // a hidden box cannot be ticked
  windows.QueueClick(kOkButton);
  windows.QueueClick(kReadyButton);
  Run();
  EXPECT_FALSE(windows.visible(kDeleteAllCheckBox));
  EXPECT_THAT(Calls("SetChecked"), ElementsAre("SetChecked 10 0"));
  EXPECT_TRUE(fs.Exists("C:\\App\\user.txt"));

  Install("[Settings]\nProgExe=App.exe\nProgDir=C:\\Elsewhere\\\nNoDelAll=1\n");
  windows.QueueClick(kCancelButton);
  Run();
  EXPECT_THAT(Calls("SetChecked"), IsEmpty());
}

// An installer that put the uninstaller straight into a folder of the system or of a user (the
// public Desktop, say) leaves no "delete all": it would take every file of that folder. The
// ordinary removal still runs. The folder counts as itself under any other name: here a link
// (a drive letter for a folder is the same to the system).
TEST_F(SequenceTest, DeleteAllIsNotOfferedInAFolderOwnedAsAWhole) {
  processes.module_path = "C:\\pub\\Uninstall.exe";
  fs.AddLink("C:\\pub", "C:\\Users\\Public\\Desktop");
  fs.whole_folders = {"C:\\Windows", "C:\\Users\\Public\\Desktop", "C:\\Users\\Bob\\Documents"};
  fs.AddFile("C:\\Users\\Public\\Desktop\\Uninstall.exe", "MZ");
  fs.HoldOpen("C:\\Users\\Public\\Desktop\\Uninstall.exe");
  fs.AddFile("C:\\Users\\Public\\Desktop\\App.exe", "MZ");
  fs.AddFile("C:\\Users\\Public\\Desktop\\holiday.jpg");
  fs.AddFile("C:\\Users\\Public\\Desktop\\uninstall.dat",
             "[Settings]\nProgExe=App.exe\n[Files]\nF=App.exe\n");
  windows.QueueToggle(kDeleteAllCheckBox);  // a hidden box cannot be ticked
  windows.QueueClick(kOkButton);
  windows.QueueClick(kReadyButton);
  Run();
  EXPECT_FALSE(windows.visible(kDeleteAllCheckBox));
  EXPECT_THAT(Calls("SetChecked"), ElementsAre("SetChecked 10 0"));
  EXPECT_FALSE(fs.Exists("C:\\Users\\Public\\Desktop\\App.exe"));
  EXPECT_TRUE(fs.Exists("C:\\Users\\Public\\Desktop\\holiday.jpg"));
  // Nor does the self-removal remove that folder, should nothing else be left in it.
  ASSERT_TRUE(fs.Exists("C:\\~~uninst-4242.bat"));
  EXPECT_EQ(fs.Contents("C:\\~~uninst-4242.bat").find("rd "), std::string::npos);
}

// The directory is decided on once, through a handle that the whole run keeps: a link that
// somebody points elsewhere after that changes neither the decision nor where "delete all"
// sweeps.
TEST_F(SequenceTest, ALinkRetargetedDuringTheRunLeadsNoRemovalElsewhere) {
  processes.module_path = "C:\\pub\\Uninstall.exe";
  fs.AddLink("C:\\pub", "C:\\Decoy");
  fs.whole_folders = {"C:\\Users\\Public\\Desktop"};
  fs.AddFile("C:\\Users\\Public\\Desktop\\holiday.jpg");
  fs.AddFile("C:\\Users\\Public\\Desktop\\App.exe", "MZ");
  fs.AddFile("C:\\Decoy\\Uninstall.exe", "MZ");
  fs.HoldOpen("C:\\Decoy\\Uninstall.exe");
  fs.AddFile("C:\\Decoy\\App.exe", "MZ");
  fs.AddFile("C:\\Decoy\\uninstall.dat", "[Settings]\nProgExe=App.exe\n");
  log.before_call = [&](std::int64_t) {
    if (!log.entries().empty() && log.entries().back().rfind("OpenWindow", 0) == 0) {
      fs.AddLink("C:\\pub", "C:\\Users\\Public\\Desktop");
    }
  };
  windows.QueueToggle(kDeleteAllCheckBox);
  windows.QueueClick(kOkButton);
  windows.QueueClick(kReadyButton);
  Run();
  log.before_call = nullptr;
  EXPECT_TRUE(fs.Exists("C:\\Users\\Public\\Desktop\\holiday.jpg"));
  EXPECT_TRUE(fs.Exists("C:\\Users\\Public\\Desktop\\App.exe"));
  EXPECT_FALSE(fs.Exists("C:\\Decoy\\App.exe"));
}

TEST_F(SequenceTest, RightsAreTestedOnlyWhenTheInstallationAsksForALogon) {
  Install(kBasicDescription);
  Run("/Q");
  EXPECT_THAT(Calls("OpenServiceManager"), IsEmpty());

  Install("[Settings]\nProgExe=App.exe\nLoginAdmin=1\n");
  Run("/Q");
  EXPECT_THAT(Calls("OpenServiceManager"), ElementsAre("OpenServiceManager 983055"));
  EXPECT_THAT(Calls("EndImpersonation"), IsEmpty());

  Install("[Settings]\nProgExe=App.exe\nLoginAdmin=256\n");  // only the low 8 bits count
  Run("/Q");
  EXPECT_THAT(Calls("OpenServiceManager"), IsEmpty());

  // In the window too, once the window is open; without a token nothing is reverted.
  Install("[Settings]\nProgExe=App.exe\nLoginAdmin=1\n");
  security.has_rights = false;
  windows.QueueClick(kCancelButton);
  Run();
  EXPECT_THAT(Calls("OpenServiceManager"), ElementsAre("OpenServiceManager 983055"));
  EXPECT_LT(Position("OpenWindow 1"), Position("OpenServiceManager"));
  EXPECT_THAT(Calls("EndImpersonation"), IsEmpty());
}

// An administrator logged on in the dialog removes everything under that account; the thread
// is itself again at the very end, in both modes.
TEST_F(SequenceTest, LogonInTheDialogHoldsUntilTheEnd) {
  security.has_rights = false;
  for (const char* parameter : {"/Q", ""}) {
    SCOPED_TRACE(parameter);
    Install("[Settings]\nProgExe=App.exe\nLoginAdmin=1\n[Files]\nF=App.exe\n");
    windows.QueueTyping(kUserField, "admin");
    windows.QueueTyping(kPasswordField, "secret");
    windows.QueueClick(kLoginButton, kLogonDialog);
    windows.QueueClick(kOkButton);
    windows.QueueClick(kReadyButton);
    Run(*parameter == '\0' ? "" : std::string(" ") + parameter);
    EXPECT_FALSE(fs.Exists("C:\\App\\App.exe"));
    EXPECT_EQ(windows.opened(kLogonDialog).title, " Login as administrator");
    EXPECT_THAT(Calls("CloseToken"), ElementsAre("CloseToken 77"));
    EXPECT_LT(Position("Impersonate 77"), Position("DeleteOnClose C:\\App\\App.exe"));
    EXPECT_LT(Position("StartHidden"), Position("EndImpersonation"));
    EXPECT_LT(Position("EndImpersonation"), Position("CloseToken 77"));
    if (*parameter == '\0') {
      EXPECT_LT(Position("CloseToken 77"), Position("CloseWindow 1"));
    }
    windows = FakeWindowToolkit(&log);
  }
}

TEST_F(SequenceTest, EntryNameIsTheGuidElseProgLinkReadBeforeTheFilesGo) {
  const std::string uninstall_key = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
  Install("[Settings]\nProgExe=App.exe\nProgLink=Linked\n");
  registry.SetValue(kLocalMachine, uninstall_key + "Linked", "DisplayName");
  Run("/Q");
  EXPECT_FALSE(registry.HasKey(kLocalMachine, uninstall_key + "Linked"));

  Install("[Settings]\nProgExe=App.exe\nGUID={G}\nProgLink=Linked\n");
  registry.SetValue(kLocalMachine, uninstall_key + "{G}", "DisplayName");
  registry.SetValue(kLocalMachine, uninstall_key + "Linked", "DisplayName");
  Run("/Q");
  EXPECT_FALSE(registry.HasKey(kLocalMachine, uninstall_key + "{G}"));
  EXPECT_TRUE(registry.HasKey(kLocalMachine, uninstall_key + "Linked"));

  // Read before delete-all sweeps uninstall.dat away: the entry goes all the same.
  Install("[Settings]\nProgExe=App.exe\nProgLink=Linked\n");
  registry.SetValue(kLocalMachine, uninstall_key + "Linked", "DisplayName");
  windows.QueueToggle(kDeleteAllCheckBox);
  windows.QueueClick(kOkButton);
  windows.QueueClick(kReadyButton);
  Run();
  EXPECT_FALSE(fs.Exists("C:\\App\\uninstall.dat"));
  EXPECT_FALSE(registry.HasKey(kLocalMachine, uninstall_key + "Linked"));
}

TEST_F(SequenceTest, AfterProgramRunsBeforeTheProgramFilesGoAndTheEntryLast) {
  Install(
      "[Settings]\nProgExe=App.exe\nGUID={G}\n[StartProg]\nAfterUninst=after.exe\n"
      "AfterParam=-a\n[Files]\nF=App.exe\n");
  fs.AddFile("C:\\App\\after.exe", "MZ");
  processes.AddProgram("C:\\App\\after.exe", 0);
  bool files_there = false;
  processes.on_start = [&](const std::string&) { files_there = fs.Exists("C:\\App\\App.exe"); };
  Run("/Q");
  EXPECT_TRUE(files_there);
  EXPECT_THAT(Calls("CreateProcess"),
              ElementsAre("CreateProcess \"C:\\App\\after.exe\" -a | C:\\App\\ | 1"));
  EXPECT_LT(Position("CreateProcess"), Position("DeleteOnClose C:\\App\\App.exe"));
  EXPECT_LT(Position("DeleteOnClose C:\\App\\App.exe"), Position("CreateKey"));
  EXPECT_LT(Position("DeleteKey"), Position("DeleteOnClose C:\\App\\uninstall.dat"));
  EXPECT_FALSE(fs.Exists("C:\\App\\after.exe"));  // a leftover
}

// The before- and after-programs run from wherever their values lead, but only what lies inside
// the uninstaller's directory, and not behind a link there, is deleted with the leftovers.
TEST_F(SequenceTest, LeftoversOutsideTheUninstallerDirectoryStay) {
  Install(
      "[Settings]\nProgExe=App.exe\n[StartProg]\nBeforeUninst=..\\Tools\\before.exe\n"
      "AfterUninst=Linked\\after.exe\n[Files]\nF=App.exe\n");
  fs.AddFile("C:\\Tools\\before.exe", "MZ");
  processes.AddProgram("C:\\App\\..\\Tools\\before.exe", 0);
  fs.AddFile("C:\\Elsewhere\\after.exe", "MZ");
  fs.AddLink("C:\\App\\Linked", "C:\\Elsewhere");
  processes.AddProgram("C:\\App\\Linked\\after.exe", 0);
  Run("/Q");
  EXPECT_EQ(Calls("CreateProcess").size(), 2u);
  EXPECT_TRUE(fs.Exists("C:\\Tools\\before.exe"));
  EXPECT_TRUE(fs.Exists("C:\\Elsewhere\\after.exe"));
  EXPECT_FALSE(fs.Exists("C:\\App\\uninstall.dat"));
}

}  // namespace
}  // namespace uninstall
