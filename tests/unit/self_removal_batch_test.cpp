#include "files/self_removal_batch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fakes/call_log.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_processes.h"
#include "fakes/fake_security.h"

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
    "\"!UNINST_PING!\" -n 2 127.0.0.1 >nul\r\n"
    "goto DeleteFile\r\n"
    ":Deleted\r\n"
    "set tries=0\r\n"
    ":RemoveDirectory\r\n"
    "rd \"!UNINST_DIR!\"\r\n"
    "if not exist \"!UNINST_DIR!\" goto Removed\r\n"
    "set /a tries+=1\r\n"
    "if %tries% geq 5 goto Removed\r\n"
    "\"!UNINST_PING!\" -n 2 127.0.0.1 >nul\r\n"
    "goto RemoveDirectory\r\n"
    ":Removed\r\n"
    "del \"%~f0\"\r\n"
    "exit\r\n";

class SelfRemovalBatchTest : public ::testing::Test {
 protected:
  SelfRemovalBatchTest() : fs(&log), processes(&log), security(&log) {
    processes.module_path = kExe;
  }

  void Write(const std::string& directory = std::string(kDir) + "\\") {
    log.Clear();
    WriteSelfRemovalBatch(fs, processes, security, processes.module_path, directory);
    EXPECT_EQ(fs.OpenHandles(), 0);
  }

  std::size_t Position(const std::string& prefix) const { return log.Position(prefix); }

  CallLog log;
  FakeFileSystem fs;
  FakeProcesses processes;
  FakeSecurity security;
};

// cmd reads a batch in the console's code page, which is not the one the paths are in: the
// paths reach it through the environment it inherits, exactly as they are.
TEST_F(SelfRemovalBatchTest, WritesTheBatchIntoTheDriveRootAndStartsItHidden) {
  Write();
  EXPECT_EQ(fs.Contents(kBatch), kExpectedBatch);
  EXPECT_EQ(processes.environment["UNINST_EXE"], kExe);
  EXPECT_EQ(processes.environment["UNINST_DIR"], kDir);
  EXPECT_EQ(processes.environment["UNINST_PING"], "C:\\Windows\\system32\\ping.exe");
  EXPECT_LT(Position("SetEnvironmentValue"), Position("StartHidden"));
  // The command interpreter itself by its full path, in the drive root: no association of
  // ".bat", no cmd found by its name, no AutoRun command.
  EXPECT_THAT(log.Matching("StartHidden"), ElementsAre(kStarted));
  // The whole file is on disk before it runs, and nobody but SYSTEM, the Administrators and
  // the user who runs the uninstaller may change it while it runs.
  EXPECT_LT(Position("CloseFile " + std::string(kBatch)), Position("StartHidden"));
  EXPECT_EQ(fs.SecurityOf(kBatch), "D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FA;;;S-1-5-21-1-2-3-1001)");
  EXPECT_THAT(log.Matching("RandomNumber"), IsEmpty());
}

// After a logon the removal acts for the administrator, but cmd starts with the process's own
// token: both may read the batch.
TEST_F(SelfRemovalBatchTest, BothTheProcessUserAndTheUserItActsForMayReadTheBatch) {
  security.Impersonate(LogonToken(77));
  Write();
  EXPECT_EQ(fs.SecurityOf(kBatch),
            "D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FA;;;S-1-5-21-1-2-3-1001)(A;;FA;;;S-1-5-21-1-2-3-500)");
  struct Row {
    std::vector<std::string> sids;
    const char* descriptor;
  };
  for (const Row& row : {
           Row{{"", ""}, "D:P(A;;FA;;;SY)(A;;FA;;;BA)"},
           Row{{"S-1-5-21-9", "S-1-5-21-9"}, "D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FA;;;S-1-5-21-9)"},
           Row{{"", "S-1-5-21-9"}, "D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FA;;;S-1-5-21-9)"},
       }) {
    EXPECT_EQ(BatchSecurityDescriptor(row.sids), row.descriptor);
  }
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
  EXPECT_THAT(log.Matching("SetEnvironmentValue UNINST_DIR"), IsEmpty());
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

// Any user may create files and folders in a drive root, also under the name this run tries
// first: what is there is never opened, changed or deleted, and the batch takes a name nobody
// can foresee. When every name is taken, or the generator gives none, no batch is written.
TEST_F(SelfRemovalBatchTest, ANameTakenFirstIsLeftAloneAndAnotherTried) {
  struct Row {
    const char* what;
    void (*take)(FakeFileSystem&);
  };
  for (const Row& row : {
           Row{"a read-only file",
               [](FakeFileSystem& fs) {
                 fs.AddFile(kBatch, "format c:\r\n",
                            kAttributeReadOnly | kAttributeHidden | kAttributeSystem);
               }},
           Row{"a file held open",
               [](FakeFileSystem& fs) {
                 fs.AddFile(kBatch, "format c:\r\n");
                 fs.HoldOpen(kBatch);
               }},
           Row{"a directory", [](FakeFileSystem& fs) { fs.AddFile(kBatch + std::string("\\x")); }},
       }) {
    SCOPED_TRACE(row.what);
    FakeFileSystem taken(&log);
    row.take(taken);
    taken.AddFile(kOldBatch, "somebody's\r\n");
    FakeSecurity fresh(&log);
    log.Clear();
    WriteSelfRemovalBatch(taken, processes, fresh, kExe, std::string(kDir) + "\\");
    const char* random_batch = "C:\\~~uninst-0123456789abcdef.bat";
    EXPECT_EQ(taken.Contents(random_batch), kExpectedBatch);
    EXPECT_EQ(taken.SecurityOf(random_batch),
              "D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FA;;;S-1-5-21-1-2-3-1001)");
    EXPECT_THAT(log.Matching("StartHidden"),
                ElementsAre("StartHidden \"C:\\Windows\\system32\\cmd.exe\" /D /C "
                            "\"\"C:\\~~uninst-0123456789abcdef.bat\"\" | C:\\"));
    EXPECT_THAT(log.Matching("SetAttributes"), IsEmpty());
    EXPECT_THAT(log.Matching("EraseFile"), IsEmpty());
    EXPECT_EQ(taken.Contents(kOldBatch), "somebody's\r\n");
    if (taken.IsDirectory(kBatch)) {
      EXPECT_TRUE(taken.Exists(kBatch + std::string("\\x")));
    } else {
      EXPECT_EQ(taken.Contents(kBatch), "format c:\r\n");
    }
  }

  for (bool generator_fails : {false, true}) {
    FakeFileSystem taken(&log);
    taken.AddDirectory(kBatch);
    FakeSecurity fresh(&log);
    fresh.random_numbers.clear();
    for (std::uint64_t i = 1; i <= (generator_fails ? 3 : kRandomBatchNames); ++i) {
      fresh.random_numbers.push_back(i);
      taken.AddDirectory(SelfRemovalBatchPath(kExe, RandomTag(i)));
    }
    const std::vector<std::string> before = taken.AllPaths();
    log.Clear();
    WriteSelfRemovalBatch(taken, processes, fresh, kExe, std::string(kDir) + "\\");
    EXPECT_EQ(taken.AllPaths(), before);
    EXPECT_THAT(log.Matching("StartHidden"), IsEmpty());
    EXPECT_EQ(log.Matching("RandomNumber").size(), generator_fails ? 4u : 16u);
  }
}

TEST_F(SelfRemovalBatchTest, NothingIsWrittenOrStartedWhenTheBatchCannotBeMade) {
  struct Case {
    const char* name;
    const char* module_path;
    void (*prepare)(FakeFileSystem&);
  };
  for (const Case& c : {
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
    WriteSelfRemovalBatch(fresh, processes, security, c.module_path, "C:\\Program Files\\App\\");
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
  EXPECT_EQ(SelfRemovalBatchPath("C:\\Program Files\\App\\Uninstall.exe", ProcessTag(7)),
            "C:\\~~uninst-7.bat");
  EXPECT_EQ(SelfRemovalBatchPath("d:\\Uninstall.exe", ProcessTag(4294967295u)),
            "d:\\~~uninst-4294967295.bat");
  EXPECT_EQ(SelfRemovalBatchPath("d:\\Uninstall.exe", RandomTag(0xA)),
            "d:\\~~uninst-000000000000000a.bat");
  EXPECT_EQ(RandomTag(0xFEDCBA9876543210u), "fedcba9876543210");
  for (const char* exe : {"\\\\server\\share\\Uninstall.exe", "", "C", "1:\\x.exe",
                          "\\\\?\\C:\\App\\Uninstall.exe", "Uninstall.exe"}) {
    EXPECT_EQ(SelfRemovalBatchPath(exe, ProcessTag(7)), "") << exe;
  }
}

}  // namespace
}  // namespace uninstall
