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

constexpr char kBatch[] = "C:\\~~uninst.bat";

// The whole batch for C:\Program Files\Soci\xE9t\xE9\Uninstall.exe (a path in code page 1252),
// byte for byte.
constexpr char kExe[] = "C:\\Program Files\\Soci\xE9t\xE9\\Uninstall.exe";
constexpr char kExpectedBatch[] =
    "\"%SystemRoot%\\System32\\chcp.com\" 1252 >nul\r\n"
    "cd \\\r\n"
    "set tries=0\r\n"
    ":DeleteFile\r\n"
    "del \"C:\\Program Files\\Soci\xE9t\xE9\\Uninstall.exe\"\r\n"
    "if not exist \"C:\\Program Files\\Soci\xE9t\xE9\\Uninstall.exe\" goto Deleted\r\n"
    "set /a tries+=1\r\n"
    "if %tries% geq 60 goto Deleted\r\n"
    "\"%SystemRoot%\\System32\\ping.exe\" -n 2 127.0.0.1 >nul\r\n"
    "goto DeleteFile\r\n"
    ":Deleted\r\n"
    "set tries=0\r\n"
    ":RemoveDirectory\r\n"
    "rd \"C:\\Program Files\\Soci\xE9t\xE9\"\r\n"
    "if not exist \"C:\\Program Files\\Soci\xE9t\xE9\" goto Removed\r\n"
    "set /a tries+=1\r\n"
    "if %tries% geq 5 goto Removed\r\n"
    "\"%SystemRoot%\\System32\\ping.exe\" -n 2 127.0.0.1 >nul\r\n"
    "goto RemoveDirectory\r\n"
    ":Removed\r\n"
    "del C:\\~~uninst.bat\r\n"
    "exit\r\n";

class SelfRemovalBatchTest : public ::testing::Test {
 protected:
  SelfRemovalBatchTest() : fs(&log), processes(&log) { processes.module_path = kExe; }

  void Write(const std::string& directory = "C:\\Program Files\\Soci\xE9t\xE9\\") {
    log.Clear();
    WriteSelfRemovalBatch(fs, processes, directory);
    EXPECT_EQ(fs.OpenHandles(), 0);
  }

  // Position of the first log entry that begins with `prefix`; the log's size when none does.
  std::size_t Position(const std::string& prefix) const {
    const auto& entries = log.entries();
    return std::find_if(entries.begin(), entries.end(),
                        [&](const std::string& e) { return e.rfind(prefix, 0) == 0; }) -
           entries.begin();
  }

  CallLog log;
  FakeFileSystem fs;
  FakeProcesses processes;
};

TEST_F(SelfRemovalBatchTest, WritesTheBatchIntoTheDriveRootAndStartsItHidden) {
  Write();
  EXPECT_EQ(fs.Contents(kBatch), kExpectedBatch);
  EXPECT_THAT(log.Matching("ShellExecute"), ElementsAre("ShellExecute open C:\\~~uninst.bat |  | "
                                                        "(none) | 0"));
  // The whole file is on disk before it runs.
  EXPECT_LT(Position("CloseFile " + std::string(kBatch)), Position("ShellExecute"));
}

TEST_F(SelfRemovalBatchTest, DirectoryLosesOneTrailingBackslashAndAnEmptyOneHasNoRdLine) {
  struct Case {
    const char* directory;
    const char* rd_line;  // "" for none
  };
  for (const Case& c : {Case{"C:\\App\\", "rd \"C:\\App\""}, Case{"C:\\App", "rd \"C:\\App\""},
                        Case{"C:\\App\\\\", "rd \"C:\\App\\\""}, Case{"", ""}, Case{"D:\\", ""},
                        Case{"D:/", ""}, Case{"\\\\server\\share\\", ""}}) {
    std::vector<std::string> lines =
        SelfRemovalBatchLines("C:\\App\\Uninstall.exe", c.directory, kBatch, 1252);
    std::vector<std::string> rd_lines;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(rd_lines),
                 [](const std::string& line) { return line.rfind("rd ", 0) == 0; });
    if (*c.rd_line == '\0') {
      EXPECT_THAT(rd_lines, IsEmpty()) << c.directory;
    } else {
      EXPECT_THAT(rd_lines, ElementsAre(c.rd_line)) << c.directory;
    }
    // The batch always ends by deleting itself.
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "del C:\\~~uninst.bat") << c.directory;
    EXPECT_EQ(lines.back(), "exit") << c.directory;
  }
}

// cmd expands %...% even between quotes, so every percent sign of a path is doubled; the
// batch's own variable keeps its single ones.
TEST_F(SelfRemovalBatchTest, PercentSignsOfPathsAreDoubled) {
  fs.AddDrive('D');
  processes.module_path = "D:\\100%\\%PATH%\\Uninstall.exe";
  Write("D:\\100%\\%PATH%\\");
  const std::string batch = fs.Contents("D:\\~~uninst.bat");
  EXPECT_NE(batch.find("del \"D:\\100%%\\%%PATH%%\\Uninstall.exe\"\r\n"), std::string::npos);
  EXPECT_NE(batch.find("if not exist \"D:\\100%%\\%%PATH%%\\Uninstall.exe\" goto Deleted\r\n"),
            std::string::npos);
  EXPECT_NE(batch.find("rd \"D:\\100%%\\%%PATH%%\"\r\n"), std::string::npos);
  EXPECT_NE(batch.find("if %tries% geq 60 goto Deleted\r\n"), std::string::npos);
  EXPECT_THAT(log.Matching("ShellExecute"),
              ElementsAre("ShellExecute open D:\\~~uninst.bat |  | (none) | 0"));
}

// Someone may have planted a batch of that name whose permissions let them change it later.
TEST_F(SelfRemovalBatchTest, PlantedBatchIsDeletedAndCreatedAnew) {
  fs.AddFile(kBatch, "format c:\r\n", kAttributeReadOnly | kAttributeHidden | kAttributeSystem);
  Write();
  EXPECT_EQ(fs.Contents(kBatch), kExpectedBatch);
  EXPECT_EQ(fs.Attributes(kBatch) & (kAttributeReadOnly | kAttributeHidden | kAttributeSystem), 0u);
  EXPECT_LT(Position("SetAttributes C:\\~~uninst.bat"), Position("EraseFile C:\\~~uninst.bat"));
  EXPECT_LT(Position("EraseFile C:\\~~uninst.bat"), Position("OpenFile C:\\~~uninst.bat"));
  // Created exclusively: a file that reappeared in between is never written into.
  EXPECT_EQ(fs.LastDisposition(), kCreateNew);
  EXPECT_EQ(log.Matching("ShellExecute").size(), 1u);
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
           Case{"UNC path", "\\\\server\\share\\App\\Uninstall.exe",
                [](FakeFileSystem& fs) { fs.AddDirectory("\\\\server\\share\\App"); }},
       }) {
    FakeFileSystem fresh(&log);
    c.prepare(fresh);
    const std::vector<std::string> before = fresh.AllPaths();
    processes.module_path = c.module_path;
    log.Clear();
    WriteSelfRemovalBatch(fresh, processes, "C:\\Program Files\\App\\");
    EXPECT_THAT(log.Matching("ShellExecute"), IsEmpty()) << c.name;
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
    EXPECT_THAT(log.Matching("ShellExecute"), IsEmpty()) << space;
  }
}

TEST(SelfRemovalBatchPathTest, DriveRootOfTheProgramOrNothing) {
  EXPECT_EQ(SelfRemovalBatchPath("C:\\Program Files\\App\\Uninstall.exe"), "C:\\~~uninst.bat");
  EXPECT_EQ(SelfRemovalBatchPath("d:\\Uninstall.exe"), "d:\\~~uninst.bat");
  for (const char* exe : {"\\\\server\\share\\Uninstall.exe", "", "C", "1:\\x.exe",
                          "\\\\?\\C:\\App\\Uninstall.exe", "Uninstall.exe"}) {
    EXPECT_EQ(SelfRemovalBatchPath(exe), "") << exe;
  }
}

}  // namespace
}  // namespace uninstall
