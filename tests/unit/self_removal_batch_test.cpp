#include "files/self_removal_batch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fakes/call_log.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_processes.h"

namespace uninstall {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr char kBatch[] = "C:\\~~uninst-4242.bat";
// The batch name of an earlier version, the same for every run.
constexpr char kOldBatch[] = "C:\\~~uninst.bat";
constexpr char kStarted[] =
    "StartHidden \"C:\\Windows\\system32\\cmd.exe\" /D /C \"\"C:\\~~uninst-4242.bat\"\" | C:\\";

// The uninstaller in C:\Program Files\Soci\xE9t\xE9\ (a path in code page 1252).
constexpr char kExe[] = "C:\\Program Files\\Soci\xE9t\xE9\\Uninstall.exe";
constexpr char kDir[] = "C:\\Program Files\\Soci\xE9t\xE9";

// The whole batch, byte for byte: no path in it but its own, which is plain ASCII.
constexpr char kExpectedBatch[] =
    "setlocal EnableDelayedExpansion\r\n"
    "cd \\\r\n"
    "set tries=0\r\n"
    ":DeleteFile\r\n"
    "del \"!UNINST_EXE!\"\r\n"
    "if not exist \"!UNINST_EXE!\" goto Deleted\r\n"
    "set /a tries+=1\r\n"
    "if %tries% geq 60 goto Deleted\r\n"
    "\"%SystemRoot%\\System32\\ping.exe\" -n 2 127.0.0.1 >nul\r\n"
    "goto DeleteFile\r\n"
    ":Deleted\r\n"
    "set tries=0\r\n"
    ":RemoveDirectory\r\n"
    "rd \"!UNINST_DIR!\"\r\n"
    "if not exist \"!UNINST_DIR!\" goto Removed\r\n"
    "set /a tries+=1\r\n"
    "if %tries% geq 5 goto Removed\r\n"
    "\"%SystemRoot%\\System32\\ping.exe\" -n 2 127.0.0.1 >nul\r\n"
    "goto RemoveDirectory\r\n"
    ":Removed\r\n"
    "del \"%~f0\"\r\n"
    "exit\r\n";

class SelfRemovalBatchTest : public ::testing::Test {
 protected:
  SelfRemovalBatchTest() : fs(&log), processes(&log) { processes.module_path = kExe; }

  void Write(const std::string& directory = std::string(kDir) + "\\") {
    log.Clear();
    WriteSelfRemovalBatch(fs, processes, processes.module_path, "S-1-5-21-9", directory);
    EXPECT_EQ(fs.OpenHandles(), 0);
  }

  std::size_t Position(const std::string& prefix) const { return log.Position(prefix); }

  CallLog log;
  FakeFileSystem fs;
  FakeProcesses processes;
};

// cmd reads a batch in the console's code page, which is not the one the paths are in: the
// paths reach it through the environment it inherits, exactly as they are.
TEST_F(SelfRemovalBatchTest, WritesTheBatchIntoTheDriveRootAndStartsItHidden) {
  Write();
  EXPECT_EQ(fs.Contents(kBatch), kExpectedBatch);
  EXPECT_EQ(processes.environment["UNINST_EXE"], kExe);
  EXPECT_EQ(processes.environment["UNINST_DIR"], kDir);
  EXPECT_LT(Position("SetEnvironmentValue"), Position("StartHidden"));
  // The command interpreter itself by its full path, in the drive root: no association of
  // ".bat", no cmd found by its name, no AutoRun command.
  EXPECT_THAT(log.Matching("StartHidden"), ElementsAre(kStarted));
  // The whole file is on disk before it runs, and nobody but SYSTEM, the Administrators and
  // the user who runs the uninstaller may change it while it runs.
  EXPECT_LT(Position("CloseFile " + std::string(kBatch)), Position("StartHidden"));
  EXPECT_EQ(fs.SecurityOf(kBatch), "D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FA;;;S-1-5-21-9)");
  EXPECT_EQ(BatchSecurityDescriptor(""), "D:P(A;;FA;;;SY)(A;;FA;;;BA)");
}

TEST_F(SelfRemovalBatchTest, DirectoryLosesOneTrailingBackslashAndARootOrNoneHasNoRdLine) {
  struct Case {
    const char* directory;
    const char* removed;  // "" for no rd line
  };
  for (const Case& c :
       {Case{"C:\\App\\", "C:\\App"}, Case{"C:\\App", "C:\\App"}, Case{"C:\\App\\\\", "C:\\App\\"},
        Case{"", ""}, Case{"D:\\", ""}, Case{"D:/", ""}, Case{"\\\\server\\share\\", ""}}) {
    EXPECT_EQ(SelfRemovalDirectory(c.directory), c.removed) << c.directory;
  }
  std::vector<std::string> lines = SelfRemovalBatchLines(false);
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& line) { return line.rfind("rd ", 0) == 0; }),
            0);
  // The batch always ends by deleting itself.
  EXPECT_THAT(std::vector<std::string>(lines.end() - 2, lines.end()),
              ElementsAre("del \"%~f0\"", "exit"));

  // Without a directory to remove, none is put into the environment either.
  Write("D:\\");
  EXPECT_THAT(log.Matching("SetEnvironmentValue"),
              ElementsAre(std::string("SetEnvironmentValue UNINST_EXE=") + kExe));
}

// Paths go to cmd unchanged, whatever they hold: nothing of them is in the batch to expand.
TEST_F(SelfRemovalBatchTest, PathsReachTheEnvironmentUnchanged) {
  fs.AddDrive('D');
  processes.module_path = "D:\\100%\\%PATH% & (x)^\\Uninstall.exe";
  Write("D:\\100%\\%PATH% & (x)^\\");
  EXPECT_EQ(processes.environment["UNINST_EXE"], "D:\\100%\\%PATH% & (x)^\\Uninstall.exe");
  EXPECT_EQ(processes.environment["UNINST_DIR"], "D:\\100%\\%PATH% & (x)^");
  EXPECT_EQ(fs.Contents("D:\\~~uninst-4242.bat").find("PATH"), std::string::npos);
  EXPECT_THAT(log.Matching("StartHidden"),
              ElementsAre("StartHidden \"C:\\Windows\\system32\\cmd.exe\" /D /C "
                          "\"\"D:\\~~uninst-4242.bat\"\" | D:\\"));

  // A value that cannot be set would leave the batch to delete whatever the name held before.
  processes.environment_full = true;
  fs.EraseFile("D:\\~~uninst-4242.bat");
  Write("D:\\100%\\");
  EXPECT_FALSE(fs.Exists("D:\\~~uninst-4242.bat"));
  EXPECT_THAT(log.Matching("StartHidden"), IsEmpty());
}

// Someone may have planted a batch of this run's name whose permissions let them change it
// later: it is deleted, and the batch created anew, exclusively. A file of the old, common name
// is not this run's and stays.
TEST_F(SelfRemovalBatchTest, PlantedBatchIsDeletedAndCreatedAnew) {
  fs.AddFile(kBatch, "format c:\r\n", kAttributeReadOnly | kAttributeHidden | kAttributeSystem);
  fs.AddFile(kOldBatch, "somebody's\r\n");
  Write();
  EXPECT_EQ(fs.Contents(kBatch), kExpectedBatch);
  EXPECT_EQ(fs.Attributes(kBatch) & (kAttributeReadOnly | kAttributeHidden | kAttributeSystem), 0u);
  EXPECT_LT(Position("SetAttributes C:\\~~uninst-4242.bat"),
            Position("EraseFile C:\\~~uninst-4242.bat"));
  EXPECT_LT(Position("EraseFile C:\\~~uninst-4242.bat"),
            Position("CreateProtectedFile C:\\~~uninst-4242.bat"));
  EXPECT_EQ(log.Matching("StartHidden").size(), 1u);
  EXPECT_EQ(fs.Contents(kOldBatch), "somebody's\r\n");
}

TEST_F(SelfRemovalBatchTest, NothingIsWrittenOrStartedWhenTheBatchCannotBeMade) {
  struct Case {
    const char* name;
    const char* module_path;
    void (*prepare)(FakeFileSystem&);
  };
  for (const Case& c : {
           Case{"old batch held open", "C:\\Program Files\\App\\Uninstall.exe",
                [](FakeFileSystem& fs) {
                  fs.AddFile(kBatch, "old");
                  fs.HoldOpen(kBatch);
                }},
           Case{"directory in the way", "C:\\Program Files\\App\\Uninstall.exe",
                [](FakeFileSystem& fs) { fs.AddDirectory(kBatch); }},
           Case{"drive root not there", "E:\\App\\Uninstall.exe", [](FakeFileSystem&) {}},
           Case{"system directory unknown", "C:\\Program Files\\App\\Uninstall.exe",
                [](FakeFileSystem&) {}},
           Case{"UNC path", "\\\\server\\share\\App\\Uninstall.exe",
                [](FakeFileSystem& fs) { fs.AddDirectory("\\\\server\\share\\App"); }},
       }) {
    FakeFileSystem fresh(&log);
    c.prepare(fresh);
    const std::vector<std::string> before = fresh.AllPaths();
    processes.module_path = c.module_path;
    processes.system_directory =
        std::string(c.name) == "system directory unknown" ? "" : "C:\\Windows\\system32";
    log.Clear();
    WriteSelfRemovalBatch(fresh, processes, c.module_path, "S-1-5-21-9",
                          "C:\\Program Files\\App\\");
    EXPECT_THAT(log.Matching("StartHidden"), IsEmpty()) << c.name;
    EXPECT_THAT(log.Matching("WriteBytes"), IsEmpty()) << c.name;
    EXPECT_EQ(fresh.AllPaths(), before) << c.name;
    EXPECT_EQ(fresh.OpenHandles(), 0) << c.name;
  }
  // A program path without a drive letter does not even try.
  EXPECT_THAT(log.Matching("OpenFile"), IsEmpty());
}

// A full disk leaves a batch cut short, which must never run: it is deleted again.
TEST_F(SelfRemovalBatchTest, BatchThatCouldNotBeWrittenWholeIsDeletedAndNotStarted) {
  // Nothing, a part, and all but the last byte.
  for (std::uint64_t space : {std::size_t{0}, std::size_t{100}, sizeof(kExpectedBatch) - 2}) {
    fs.SetDiskSpace(space);
    Write();
    EXPECT_FALSE(fs.Exists(kBatch)) << space;
    EXPECT_THAT(log.Matching("StartHidden"), IsEmpty()) << space;
  }
}

TEST(SelfRemovalBatchPathTest, DriveRootOfTheProgramOrNothing) {
  EXPECT_EQ(SelfRemovalBatchPath("C:\\Program Files\\App\\Uninstall.exe", 7), "C:\\~~uninst-7.bat");
  EXPECT_EQ(SelfRemovalBatchPath("d:\\Uninstall.exe", 4294967295u), "d:\\~~uninst-4294967295.bat");
  for (const char* exe : {"\\\\server\\share\\Uninstall.exe", "", "C", "1:\\x.exe",
                          "\\\\?\\C:\\App\\Uninstall.exe", "Uninstall.exe"}) {
    EXPECT_EQ(SelfRemovalBatchPath(exe, 7), "") << exe;
  }
}

}  // namespace
}  // namespace uninstall
