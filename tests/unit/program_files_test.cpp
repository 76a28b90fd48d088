#include "files/program_files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/installation_removal.h"
#include "fakes/call_log.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_window_toolkit.h"
#include "fakes/status_bar_progress.h"
#include "files/contained_removal.h"

namespace uninstall {
namespace {

using ::testing::Contains;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::Eq;
using ::testing::IsEmpty;
using ::testing::Not;
using namespace std::string_literals;

// An installation in C:\App\ whose uninstaller is running (its file held open).
class ProgramFilesTest : public ::testing::Test {
 protected:
  ProgramFilesTest() : fs(&log), windows(&log) {
    fs.AddFile("C:\\App\\Uninstall.exe", "MZ");
    fs.HoldOpen("C:\\App\\Uninstall.exe");
    fs.AddFile("C:\\App\\App.exe", "MZ");
    paths = {"C:\\App\\", "C:\\App\\uninstall.dat", "App.exe", "\\"};
  }

  void Describe(const std::string& description) {
    fs.AddFile("C:\\App\\uninstall.dat", description);
  }

  bool RemoveProgram() { return Remove(RemovalOptions{false}); }
  bool RemoveAll() { return Remove(RemovalOptions{true}); }

  bool Remove(RemovalOptions options) {
    log.Clear();
    const Description description(fs, paths.description_file_path);
    log.Clear();
    StatusBarProgress progress(windows);
    bool result = options.delete_all ? RemoveAllFiles(fs, description, paths, progress)
                                     : RemoveProgramFiles(fs, description, paths, progress);
    EXPECT_EQ(fs.OpenHandles(), 0);
    // The window's bar: a removal that does anything does every piece the window announced for
    // it, and every entry its trees announced as they were listed, no more and no fewer.
    if (progress.done != 0) {
      EXPECT_EQ(progress.done, PiecesOfWork(description, options) + progress.expected);
    }
    return result;
  }

  std::vector<std::string> StatusTexts() const { return log.Matching("SetStatusText "); }

  CallLog log;
  FakeFileSystem fs;
  FakeWindowToolkit windows;
  InstallationPaths paths;
};

TEST_F(ProgramFilesTest, RemovesListedFilesThenTheDirectoriesThatBecameEmpty) {
  Describe(
      "[Files]\nA=App.exe\nB=Help\\Images\\pic.png\nC=Help\\Manual.chm\nD=gone.txt\n"
      "E=Tools\\tool.dll\nF=help\\\x8A"
      "etup.dat\n"
      "[Dirs]\nA=Help\\Images\\\nB=Help\nC=Tools\\\nD=Missing\\\n");
  fs.AddFile("C:\\App\\Help\\Images\\pic.png");
  fs.AddFile(
      "C:\\App\\Help\\\x9A"
      "etup.dat");  // Š listed, š on the disk
  fs.AddFile("C:\\App\\Help\\Manual.chm");
  fs.AddFile("C:\\App\\Tools\\tool.dll");
  fs.AddFile("C:\\App\\Tools\\notes.txt");  // the user's

  EXPECT_TRUE(RemoveProgram());
  // The main executable goes last: until then a later run knows the program is installed.
  EXPECT_THAT(StatusTexts(),
              ElementsAre("SetStatusText   C:\\App\\Help\\Images\\pic.png",
                          "SetStatusText   C:\\App\\Help\\Manual.chm",
                          "SetStatusText   C:\\App\\Tools\\tool.dll",
                          "SetStatusText   C:\\App\\help\\\x8A"
                          "etup.dat",
                          "SetStatusText   C:\\App\\Help\\Images\\*.*",
                          "SetStatusText   C:\\App\\Help*.*", "SetStatusText   C:\\App\\App.exe"));
  EXPECT_THAT(fs.AllPaths(),
              ElementsAre("C:\\App\\", "C:\\App\\Tools\\", "C:\\App\\Tools\\notes.txt",
                          "C:\\App\\Uninstall.exe", "C:\\App\\uninstall.dat"));
  // User files are never searched for, let alone deleted by force.
  EXPECT_THAT(log.Matching("SetAttributes"), IsEmpty());
}

// The main executable tells a later run that the program is still installed: both removals take
// it last, and then the listed directories that held it.
TEST_F(ProgramFilesTest, TheMainExecutableGoesLastAndThenTheDirectoriesThatHeldIt) {
  // The value in [Files] names the main executable as the file system compares names: either
  // separator, letters of any case (É and é are C9 and E9 in the code page).
  for (const auto& [prog_exe, listed] :
       {std::pair{"Bin\\App.exe"s, "bin/app.EXE"s}, {"Bin\\App\xC9.exe"s, "bin\\app\xE9.exe"s}}) {
    paths.prog_exe = prog_exe;
    for (bool remove_all : {false, true}) {
      SCOPED_TRACE((remove_all ? "delete all " : "program files ") + listed);
      fs.AddFile("C:\\App\\" + prog_exe, "MZ", kAttributeReadOnly * remove_all);
      fs.AddFile("C:\\App\\Bin\\x.dll");
      fs.AddFile("C:\\App\\readme.txt");
      Describe("[Files]\nA=" + listed + "\nB=Bin\\x.dll\nC=readme.txt\n[Dirs]\nA=Bin\\\n");
      EXPECT_TRUE(remove_all ? RemoveAll() : RemoveProgram());
      EXPECT_FALSE(fs.Exists("C:\\App\\Bin\\"));
      const std::vector<std::string> erased = log.Matching("DeleteOnClose C:\\App\\");
      ASSERT_GE(erased.size(), 3u);
      EXPECT_EQ(erased[erased.size() - 2], "DeleteOnClose C:\\App\\" + prog_exe);
      EXPECT_EQ(erased.back(), "DeleteOnClose C:\\App\\Bin");
      if (!remove_all) {
        EXPECT_THAT(StatusTexts(), ElementsAre("SetStatusText   C:\\App\\Bin\\x.dll",
                                               "SetStatusText   C:\\App\\readme.txt",
                                               "SetStatusText   C:\\App\\" + prog_exe,
                                               "SetStatusText   C:\\App\\Bin\\*.*"));
      }
    }
  }
  // "Delete all" takes it only where the sweep or a tree would have: a subdirectory that no tree
  // takes keeps everything, the main executable too.
  paths.prog_exe = "Bin\\App.exe";
  Describe("[Files]\nA=Bin\\App.exe\n[Dirs]\nA=Help\\\n");
  fs.AddFile("C:\\App\\Bin\\App.exe", "MZ");
  fs.AddFile("C:\\App\\Bin\\user.txt");
  fs.AddFile("C:\\App\\Help\\h.chm");
  EXPECT_TRUE(RemoveAll());
  EXPECT_TRUE(fs.Exists("C:\\App\\Bin\\App.exe"));
  EXPECT_TRUE(fs.Exists("C:\\App\\Bin\\user.txt"));
  EXPECT_FALSE(fs.Exists("C:\\App\\Help\\"));

  // A name that only begins like the main executable is an ordinary file.
  paths.prog_exe = "App.exe";
  Describe("[Files]\nA=App.ex\n");
  fs.AddFile("C:\\App\\App.exe", "MZ");
  fs.AddFile("C:\\App\\App.ex");
  RemoveProgram();
  EXPECT_FALSE(fs.Exists("C:\\App\\App.ex"));
  EXPECT_TRUE(fs.Exists("C:\\App\\App.exe"));
}

TEST_F(ProgramFilesTest, ParentListedBeforeItsSubdirectoryStays) {
  Describe("[Dirs]\nA=Help\\\nB=Help\\Images\\\n");
  fs.AddDirectory("C:\\App\\Help\\Images");
  EXPECT_TRUE(RemoveProgram());
  EXPECT_THAT(StatusTexts(), ElementsAre("SetStatusText   C:\\App\\Help\\Images\\*.*"));
  EXPECT_TRUE(fs.IsDirectory("C:\\App\\Help\\"));
  EXPECT_FALSE(fs.Exists("C:\\App\\Help\\Images\\"));
}

TEST_F(ProgramFilesTest, OnlyTheExactNameUninstallExeIsPassedOver) {
  Describe("[Files]\nA=Uninstall.exe\nB=UNINSTALL.EXE\nC=Tools\\Uninstall.exe\n");
  fs.AddFile("C:\\App\\Tools\\Uninstall.exe");
  RemoveProgram();
  // Tried, but held open: the running uninstaller's file under another spelling.
  const std::vector<std::string> tried = log.Matching("OpenNode C:\\App\\U");
  EXPECT_THAT(tried, Not(IsEmpty()));
  EXPECT_THAT(tried, Each(Eq("OpenNode C:\\App\\UNINSTALL.EXE")));
  EXPECT_FALSE(fs.Exists("C:\\App\\Tools\\Uninstall.exe"));
}

TEST_F(ProgramFilesTest, ResultTellsWhetherAnythingWasRemoved) {
  struct Case {
    const char* description;
    bool result;
  };
  for (const Case& c : {
           Case{"[Settings]\n", false},
           Case{"[Files]\n[Dirs]\n", false},
           Case{"[Files]\nA=gone.txt\nB=ro.txt\n[Dirs]\nA=Full\\\nB=Missing\\\n", false},
           Case{"[Files]\nA=gone.txt\n[Dirs]\nA=Empty\\\n", true},
           // Found empty counts, whether or not the removal worked.
           Case{"[Dirs]\nA=Stuck\\\n", true},
           Case{"[Files]\nA=App.exe\n", true},
           // A listed link counts as removed; a directory behind one is never looked at.
           Case{"[Dirs]\nA=Link\\\n", true},
           Case{"[Dirs]\nA=Link\\Inner\\\n", false},
       }) {
    fs.AddFile("C:\\App\\App.exe", "MZ");
    fs.AddFile("C:\\App\\ro.txt", "", kAttributeReadOnly);
    fs.AddFile("C:\\App\\Full\\user.txt");
    fs.AddDirectory("C:\\App\\Empty");
    fs.AddDirectory("C:\\App\\Stuck", kAttributeDirectory | kAttributeReadOnly);
    fs.AddDirectory("C:\\Target\\Inner");
    fs.AddLink("C:\\App\\Link", "C:\\Target");
    Describe(c.description);
    EXPECT_EQ(RemoveProgram(), c.result) << c.description;
    EXPECT_TRUE(fs.Exists("C:\\App\\ro.txt")) << c.description;
  }
}

// A window stays alive through a long list of files that are already gone.
TEST_F(ProgramFilesTest, EveryListedFileBeatsWhetherOrNotItWasThere) {
  StatusBarProgress heartbeat(windows);
  Describe("[Files]\nA=gone1.txt\nB=gone2.txt\nC=gone3.txt\nD=App.exe\n");
  RemoveProgramFiles(fs, Description(fs, paths.description_file_path), paths, heartbeat);
  EXPECT_GE(heartbeat.beats, 4);
}

// Both removals do nothing at all while the main executable is missing.
TEST_F(ProgramFilesTest, MissingMainExecutableRemovesNothing) {
  Describe("[Files]\nA=App.exe\n[Dirs]\nA=Help\\\n[Data]\nA=x.txt\n");
  fs.AddDirectory("C:\\App\\Help");
  fs.AddFile("C:\\Data\\x.txt");
  paths.data_dir = "C:\\Data\\";
  for (const char* prog_exe : {"-1", "Gone.exe", "Help\\"}) {
    paths.prog_exe = prog_exe;
    const std::vector<std::string> before = fs.AllPaths();
    for (bool delete_all : {false, true}) {
      EXPECT_FALSE(delete_all ? RemoveAll() : RemoveProgram()) << prog_exe;
      EXPECT_EQ(fs.AllPaths(), before) << prog_exe;
      EXPECT_THAT(log.Matching("OpenFile"), IsEmpty()) << prog_exe;
      EXPECT_THAT(StatusTexts(), IsEmpty()) << prog_exe;
    }
  }
}

// The ordinary removal takes a value that leads outside the uninstaller's directory as its
// joined path names it, read by its text: "..", a drive, a leading separator. The directory is
// opened by that path; the last name is deleted relative to it, a link as itself.
TEST_F(ProgramFilesTest, ProgramFilesRemovalTakesValuesThatLeadOutsideAsTheirPathNames) {
  Describe(
      "[Settings]\nProgExe=..\\App.exe\n"
      "[Files]\nA=..\\Other\\x.txt\nB=C:\\Other\\y.txt\nC=\\Other\\z.txt\nD=..\\App.exe\n"
      "E=Sub\\..\\..\\Other\\w.txt\nF=..\\Linked\n"
      "[Dirs]\nA=..\\Empty\\\nB=C:\\Empty\\\nC=..\\Other\\\n");
  fs.AddFile("C:\\App.exe", "MZ");
  for (const char* file : {"C:\\Other\\x.txt", "C:\\Other\\y.txt", "C:\\Other\\z.txt",
                           "C:\\Other\\w.txt", "C:\\App\\Other\\z.txt", "C:\\Target\\t.txt"}) {
    fs.AddFile(file);
  }
  fs.AddDirectory("C:\\Empty");
  fs.AddLink("C:\\Linked", "C:\\Target");
  paths.prog_exe = "..\\App.exe";
  EXPECT_TRUE(RemoveProgram());
  EXPECT_FALSE(fs.Exists("C:\\Other\\x.txt"));
  EXPECT_FALSE(fs.Exists("C:\\Other\\w.txt"));
  EXPECT_FALSE(fs.Exists("C:\\App.exe"));
  EXPECT_FALSE(fs.Exists("C:\\Empty\\"));
  // "C:\App\C:\Other\y.txt" names nothing; "C:\App\\Other\z.txt" is the one in C:\App.
  EXPECT_TRUE(fs.Exists("C:\\Other\\y.txt"));
  EXPECT_TRUE(fs.Exists("C:\\Other\\z.txt"));
  EXPECT_FALSE(fs.Exists("C:\\App\\Other\\z.txt"));
  // Still holds y.txt and z.txt; the link as the last name is not followed.
  EXPECT_TRUE(fs.Exists("C:\\Other\\"));
  EXPECT_TRUE(fs.Exists("C:\\Target\\t.txt"));
  // The main executable last, and the texts as the values are joined.
  EXPECT_THAT(StatusTexts(), ElementsAre("SetStatusText   C:\\App\\..\\Other\\x.txt",
                                         "SetStatusText   C:\\App\\\\Other\\z.txt",
                                         "SetStatusText   C:\\App\\Sub\\..\\..\\Other\\w.txt",
                                         "SetStatusText   C:\\App\\..\\Empty\\*.*",
                                         "SetStatusText   C:\\App\\..\\App.exe"));

  // "Delete all" keeps refusing them.
  paths.prog_exe = "App.exe";
  Describe("[Settings]\nProgExe=App.exe\n[Dirs]\nA=..\\Empty\\\nB=..\\Other\\\n");
  fs.AddDirectory("C:\\Empty");
  EXPECT_TRUE(RemoveAll());
  EXPECT_TRUE(fs.Exists("C:\\Empty\\"));
  EXPECT_TRUE(fs.Exists("C:\\Other\\y.txt"));
}

TEST_F(ProgramFilesTest, DeleteAllRemovesTreesDataAndSweepsTheUninstallerDirectory) {
  Describe(
      "[Files]\nA=Keep\\listed.txt\n"
      "[Dirs]\nA=Help\\\nB=Help\\Images\\\nC=Gone\n"
      "[Data]\nA=db.dat\nB=Cache\\c.tmp\nC=missing.dat\nD=locked.dat\n"
      "[DataDirs]\nA=Cache\\\nB=Saves\\\nC=Empty\n");
  fs.AddFile("C:\\App\\Help\\Manual.chm", "", kAttributeReadOnly);
  fs.AddFile("C:\\App\\Help\\Images\\pic.png", "", kAttributeHidden | kAttributeSystem);
  fs.AddFile("C:\\App\\Help\\user.txt");
  fs.AddDirectory("C:\\App\\Help\\Images\\Deep", kAttributeDirectory | kAttributeReadOnly);
  fs.AddFile("C:\\App\\Keep\\listed.txt");  // [Dirs] doesn't name Keep\: it stays whole
  fs.AddFile("C:\\App\\settings.ini", "", kAttributeReadOnly | kAttributeHidden);
  paths.data_dir = "C:\\Data\\";
  fs.AddFile("C:\\Data\\db.dat");
  fs.AddFile("C:\\Data\\locked.dat");
  fs.HoldOpen("C:\\Data\\locked.dat");
  fs.AddFile("C:\\Data\\Cache\\c.tmp");
  fs.AddFile("C:\\Data\\Saves\\slot1.sav", "", kAttributeReadOnly);
  fs.AddDirectory("C:\\Data\\Empty");

  EXPECT_TRUE(RemoveAll());
  EXPECT_THAT(
      StatusTexts(),
      ElementsAre("SetStatusText   C:\\App\\Help\\*.*",
                  "SetStatusText   C:\\App\\Help\\Images\\*.*", "SetStatusText   C:\\App\\Gone*.*",
                  "SetStatusText   C:\\Data\\db.dat", "SetStatusText   C:\\Data\\Cache\\c.tmp",
                  "SetStatusText   C:\\Data\\Cache\\*.*", "SetStatusText   C:\\Data\\Empty*.*",
                  "SetStatusText   C:\\App\\*.*"));
  // uninstall.dat goes with the leftovers, once Ready is pressed.
  EXPECT_THAT(
      fs.AllPaths(),
      ElementsAre("C:\\App\\", "C:\\App\\Keep\\", "C:\\App\\Keep\\listed.txt",
                  "C:\\App\\Uninstall.exe", "C:\\App\\uninstall.dat", "C:\\Data\\",
                  "C:\\Data\\Saves\\", "C:\\Data\\Saves\\slot1.sav", "C:\\Data\\locked.dat"));
  // Data is never forced.
  EXPECT_THAT(log.Matching("SetAttributes C:\\Data"), IsEmpty());
}

// Also after a value whose directories were opened on the way to a name that is missing.
TEST_F(ProgramFilesTest, EmptyDirsValueRemovesTheWholeInstallationButTheRunningUninstaller) {
  Describe("[Dirs]\nB=Sub\\Deeper\\Missing\\\nA=\n");
  fs.AddFile("C:\\App\\Sub\\Deeper\\x.txt", "", kAttributeReadOnly);
  EXPECT_TRUE(RemoveAll());
  EXPECT_THAT(StatusTexts(),
              ElementsAre("SetStatusText   C:\\App\\Sub\\Deeper\\Missing\\*.*",
                          "SetStatusText   C:\\App\\*.*", "SetStatusText   C:\\App\\*.*"));
  EXPECT_THAT(fs.AllPaths(),
              ElementsAre("C:\\App\\", "C:\\App\\Uninstall.exe", "C:\\App\\uninstall.dat"));
}

TEST_F(ProgramFilesTest, DataGroupsNeedAnExistingDataDirectory) {
  fs.AddFile("C:\\x.txt");
  fs.AddDirectory("C:\\Sub");
  fs.AddFile("C:\\Data\\x.txt");
  for (const char* data_dir : {"\\", "", "C:\\Gone\\", "C:\\Data\\x.txt\\"}) {
    Describe("[Data]\nA=x.txt\n[DataDirs]\nA=Sub\\\n");
    fs.AddFile("C:\\App\\App.exe", "MZ");
    paths.data_dir = data_dir;
    EXPECT_TRUE(RemoveAll()) << data_dir;
    EXPECT_THAT(StatusTexts(), ElementsAre("SetStatusText   C:\\App\\*.*")) << data_dir;
    // Only the sweep deletes anything.
    for (const std::string& call : log.Matching("EraseFile")) {
      EXPECT_EQ(call.rfind("EraseFile C:\\App\\", 0), 0u) << data_dir << ": " << call;
    }
    EXPECT_TRUE(fs.Exists("C:\\x.txt"));
    EXPECT_TRUE(fs.Exists("C:\\Sub\\"));
    EXPECT_TRUE(fs.Exists("C:\\Data\\x.txt"));
  }
}

TEST(StaysInsideTest, AcceptsPathsBelowAndRefusesWaysOut) {
  for (const char* inside : {"", "Help\\", "Help", "Help\\Images\\", "a..b\\", "..x\\", "x..",
                             ".hidden\\", "Sub/Dir/", ".\\Help\\"}) {
    EXPECT_TRUE(StaysInside(inside)) << inside;
  }
  for (const char* outside : {"..", "..\\", "../", "...\\", ".. \\", "Help\\..\\..\\",
                              "Help/../../", "Help\\..", "C:\\Other\\", "C:Other\\", "D:",
                              "Help\\x:stream", "\\Other\\", "/Other/", "\\\\server\\share\\"}) {
    EXPECT_FALSE(StaysInside(outside)) << outside;
  }
}

// What leads outside is passed over in every group of the delete-all removal, silently.
TEST_F(ProgramFilesTest, DeleteAllPassesOverValuesThatLeadOutside) {
  Describe(
      "[Dirs]\nA=..\\Other\\\nB=Help\\..\\..\\Other\\\nC=C:\\Other\\\nD=\\Other\\\nE=/Other/\n"
      "F=...\\\nG=.. \\\nH=Help\\\n"
      "[Data]\nA=..\\Other\\x.txt\nB=\\Other\\x.txt\nC=C:\\Other\\x.txt\nD=y.txt\n"
      // A NUL byte ends the data: what the platform would see as ".." stays "..".
      "[DataDirs]\nA=..\\Empty\\\nB=C:\\Empty\\\nC=Mine\\\nD=..\0\\Empty\\\n"s);
  fs.AddFile("C:\\App\\Help\\a.txt");
  fs.AddFile("C:\\Other\\x.txt");
  fs.AddDirectory("C:\\Empty");
  paths.data_dir = "C:\\Data\\";
  fs.AddFile("C:\\Data\\y.txt");
  fs.AddDirectory("C:\\Data\\Mine");

  EXPECT_TRUE(RemoveAll());
  EXPECT_THAT(StatusTexts(),
              ElementsAre("SetStatusText   C:\\App\\Help\\*.*", "SetStatusText   C:\\Data\\y.txt",
                          "SetStatusText   C:\\Data\\Mine\\*.*", "SetStatusText   C:\\App\\*.*"));
  EXPECT_TRUE(fs.Exists("C:\\Other\\x.txt"));
  EXPECT_TRUE(fs.Exists("C:\\Empty\\"));
  EXPECT_FALSE(fs.Exists("C:\\App\\Help\\"));
  EXPECT_FALSE(fs.Exists("C:\\Data\\Mine\\"));
  // Not even looked at.
  for (const std::string& call : log.entries()) {
    EXPECT_EQ(call.find("Other"), std::string::npos) << call;
    EXPECT_EQ(call.find("Empty"), std::string::npos) << call;
  }
}

// A junction below the uninstaller's or the data directory leads elsewhere (another user's
// documents, say): nothing behind it is looked into or deleted, and a listed directory that is
// one loses only the link, in both removals.
TEST_F(ProgramFilesTest, NothingIsReachedThroughALinkBelowTheBase) {
  for (bool remove_all : {false, true}) {
    SCOPED_TRACE(remove_all);
    fs.AddFile("C:\\App\\App.exe", "MZ");
    Describe(
        "[Files]\nA=L\\doc.txt\nB=App.exe\nC=Sub\\L\\doc.txt\n"
        "[Dirs]\nA=Saves\\\nB=L\\Inner\\\nC=L\\\nD=ReadOnly\\\n"
        "[Data]\nA=DataLink\\doc.txt\n[DataDirs]\nA=DataLink\\Inner\\\nB=Gone\\\n");
    for (const char* target : {"C:\\Target\\", "C:\\DataTarget\\"}) {
      fs.AddFile(std::string(target) + "doc.txt", "mine");
      fs.AddDirectory(std::string(target) + "Inner");
    }
    fs.AddLink("C:\\App\\Saves", "C:\\Target");
    fs.AddLink("C:\\App\\L", "C:\\Target");
    fs.AddDirectory("C:\\App\\Sub");
    fs.AddLink("C:\\App\\Sub\\L", "C:\\Target");
    fs.AddLink("C:\\App\\ReadOnly", "C:\\Target");
    fs.SetAttributes("C:\\App\\ReadOnly", kAttributeReadOnly);
    paths.data_dir = "C:\\Data\\";
    fs.AddLink("C:\\Data\\DataLink", "C:\\DataTarget");
    fs.AddLink("C:\\Data\\Gone", "C:\\DataTarget");

    EXPECT_TRUE(remove_all ? RemoveAll() : RemoveProgram());
    for (const char* kept : {"C:\\Target\\doc.txt", "C:\\Target\\Inner\\",
                             "C:\\DataTarget\\doc.txt", "C:\\DataTarget\\Inner\\"}) {
      EXPECT_TRUE(fs.Exists(kept)) << kept;
    }
    // The links listed themselves go; Data ones, and read-only ones, only with "delete all".
    EXPECT_FALSE(fs.Exists("C:\\App\\Saves"));
    EXPECT_FALSE(fs.Exists("C:\\App\\L"));
    EXPECT_EQ(fs.Exists("C:\\App\\ReadOnly"), !remove_all);
    EXPECT_EQ(fs.Exists("C:\\Data\\Gone"), !remove_all);
    EXPECT_TRUE(fs.Exists("C:\\Data\\DataLink"));
    EXPECT_THAT(StatusTexts(), Contains("SetStatusText   C:\\App\\Saves\\*.*"));
    for (const std::string& call : log.entries()) {
      if (call.rfind("SetStatusText", 0) == 0 || call.rfind("WidenName", 0) == 0) continue;
      for (const char* behind :
           {"\\Saves\\", "\\L\\", "ReadOnly\\", "DataLink\\", "Gone\\", "Target"}) {
        EXPECT_EQ(call.find(behind), std::string::npos) << call;
      }
    }
  }
}

// Another user swaps a directory of the installation, or the data directory itself, for a link
// to what is not the installation's, at any moment of the removal, for good or for one call:
// nothing there is deleted, whether the system opens a link as itself (Windows), or as what it
// points to, even with a final path that names the link (Wine).
TEST(RaceTest, ADirectorySwappedForALinkAtAnyMomentLeadsNowhere) {
  const char kDescription[] =
      "[Files]\nA=App.exe\nB=Sub\\f1.txt\nC=Sub\\Deep\\g.txt\nD=Sub\\f2.txt\n"
      "[Dirs]\nA=Sub\\Deep\\\nB=Sub\\\n[Data]\nA=Cache\\c.tmp\nB=d.dat\n[DataDirs]\nA=Cache\\\n";
  struct Swap {
    const char* directory;
    const char* outside;
  };
  const Swap kSwaps[] = {{"C:\\App\\Sub", "C:\\Outside"},
                         {"C:\\Data\\Cache", "C:\\Outside"},
                         {"C:\\Data", "C:\\Protected"}};
  for (int opens = 0; opens < 3; ++opens) {
    for (bool remove_all : {false, true}) {
      for (bool swap_back : {false, true}) {
        for (const Swap& swap : kSwaps) {
          SCOPED_TRACE(std::string(opens == 0   ? ""
                                   : opens == 1 ? "follows "
                                                : "by name ") +
                       (remove_all ? "delete all " : "") + (swap_back ? "for one call " : "") +
                       swap.directory);
          for (std::int64_t at = 1;; ++at) {
            CallLog log;
            FakeFileSystem fs(&log);
            fs.SetOpensFollowLinks(opens > 0);
            fs.SetFinalPathsByName(opens == 2);
            fs.AddFile("C:\\App\\Uninstall.exe", "MZ");
            fs.HoldOpen("C:\\App\\Uninstall.exe");
            fs.AddFile("C:\\App\\uninstall.dat", kDescription);
            for (const char* file : {"App.exe", "Sub\\f1.txt", "Sub\\f2.txt", "Sub\\Deep\\g.txt"}) {
              fs.AddFile(std::string("C:\\App\\") + file, "x");
            }
            fs.AddFile("C:\\Data\\Cache\\c.tmp");
            fs.AddFile("C:\\Data\\d.dat");
            const std::vector<std::string> outside = {
                "C:\\Outside\\f1.txt",        "C:\\Outside\\f2.txt",  "C:\\Outside\\Deep\\g.txt",
                "C:\\Outside\\c.tmp",         "C:\\Outside\\own.txt", "C:\\Protected\\d.dat",
                "C:\\Protected\\Cache\\c.tmp"};
            for (const std::string& file : outside) fs.AddFile(file, "mine");
            fs.AddDirectory("C:\\Outside\\Empty");
            const std::string away = std::string(swap.directory) + ".away";
            const Description description(fs, "C:\\App\\uninstall.dat");
            NoProgress progress;
            log.before_call = [&](std::int64_t call) {
              if (call == at) {
                fs.Rename(swap.directory, away);
                fs.AddLink(swap.directory, swap.outside);
              } else if (call == at + 1 && swap_back && fs.Exists(away)) {
                fs.Rename(swap.directory, std::string(swap.directory) + ".link");
                fs.Rename(away, swap.directory);
              }
            };
            const InstallationPaths paths{"C:\\App\\", "C:\\App\\uninstall.dat", "App.exe",
                                          "C:\\Data\\"};
            if (remove_all) {
              RemoveAllFiles(fs, description, paths, progress);
            } else {
              RemoveProgramFiles(fs, description, paths, progress);
            }
            log.before_call = nullptr;
            for (const std::string& file : outside) EXPECT_TRUE(fs.Exists(file)) << at << file;
            EXPECT_TRUE(fs.Exists("C:\\Outside\\Empty\\")) << at;
            EXPECT_EQ(fs.OpenHandles(), 0) << at;
            if (at > log.calls()) break;
          }
        }
      }
    }
  }
}

// A data directory that is itself a link (users may create it before the removal runs) is never
// looked into; only an empty [DataDirs] value, which names the directory itself, removes the
// link, and only where the system lets the link be opened as itself.
TEST_F(ProgramFilesTest, DataDirectoryThatIsALinkIsNeverEntered) {
  for (bool follows : {false, true}) {
    for (const char* data_dirs : {"A=Cache\\\n", "A=\nB=Cache\\\n"}) {
      SCOPED_TRACE(std::string(follows ? "follows " : "") + data_dirs);
      fs.SetOpensFollowLinks(follows);
      fs.AddFile("C:\\App\\App.exe", "MZ");
      fs.AddFile("C:\\Protected\\db.dat", "mine");
      fs.AddDirectory("C:\\Protected\\Cache");
      fs.AddLink("C:\\ProgramData\\Sample", "C:\\Protected");
      paths.data_dir = "C:\\ProgramData\\Sample\\";
      Describe(std::string("[Data]\nA=db.dat\n[DataDirs]\n") + data_dirs);
      EXPECT_TRUE(RemoveAll());
      EXPECT_TRUE(fs.Exists("C:\\Protected\\db.dat"));
      EXPECT_TRUE(fs.Exists("C:\\Protected\\Cache\\"));
      const bool link_goes = !follows && std::string(data_dirs).find("A=\n") == 0;
      EXPECT_EQ(fs.Exists("C:\\ProgramData\\Sample"), !link_goes);
      std::vector<std::string> texts = {"SetStatusText   C:\\App\\*.*"};
      if (link_goes) texts.insert(texts.begin(), "SetStatusText   C:\\ProgramData\\Sample\\*.*");
      EXPECT_EQ(StatusTexts(), texts);
    }
  }
}

}  // namespace
}  // namespace uninstall
