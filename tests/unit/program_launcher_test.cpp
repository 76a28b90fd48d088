#include "external/program_launcher.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "external/system_launcher.h"
#include "fakes/call_log.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_processes.h"
#include "fakes/fake_security.h"

namespace uninstall {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr char kTool[] = "C:\\Prog\\tool.exe";
constexpr char kDocument[] = "C:\\Prog\\x.txt";

class ProgramLauncherTest : public ::testing::Test {
 protected:
  ProgramLauncherTest()
      : processes(&log), system(processes, fs, security), launcher(system, processes) {}

  std::vector<std::string> Calls(const std::string& prefix) const { return log.Matching(prefix); }

  CallLog log;
  FakeProcesses processes;
  FakeFileSystem fs;
  FakeSecurity security{&log};
  SystemLauncher system;
  ProgramLauncher launcher;
  NoProgress quiet;
};

TEST(ProgramCommandLineTest, QuotesTheFileUnlessItIsQuotedAndAppendsParameters) {
  struct Case {
    const char* file;
    const char* parameters;
    const char* command_line;
  };
  for (const Case& c : {
           Case{"C:\\Prog\\tool.exe", "/S /U C:\\Lib\\x.dll",
                "\"C:\\Prog\\tool.exe\" /S /U C:\\Lib\\x.dll"},
           Case{"C:\\Prog\\tool.exe", "/S /U ", "\"C:\\Prog\\tool.exe\" /S /U "},
           Case{"C:\\My Prog\\tool.exe", "", "\"C:\\My Prog\\tool.exe\""},
           Case{"\"C:\\My Prog\\tool.exe\"", "", "\"C:\\My Prog\\tool.exe\""},
           Case{"\"C:\\My Prog\\tool.exe\" -a", "-b", "\"C:\\My Prog\\tool.exe\" -a -b"},
           Case{"C:\\Prog\\tool.exe", "\"a b\"", "\"C:\\Prog\\tool.exe\" \"a b\""},
       }) {
    EXPECT_EQ(ProgramCommandLine(c.file, c.parameters), c.command_line) << c.file;
  }
}

TEST(ShellWorkingDirectoryTest, DirectoryOfTheFileWithItsBackslash) {
  struct Case {
    const char* file;
    const char* directory;
  };
  for (const Case& c :
       {Case{"C:\\Prog\\x.txt", "C:\\Prog\\"}, Case{"C:\\x.txt", "C:\\"},
        Case{"C:\\Prog\\Sub\\x.txt", "C:\\Prog\\Sub\\"}, Case{"Sub\\x.txt", "Sub\\"},
        Case{"x.txt", ""}, Case{"\\x.txt", ""}, Case{"C:/Prog/x.txt", ""}, Case{"", ""}}) {
    EXPECT_EQ(ShellWorkingDirectory(c.file), c.directory) << c.file;
  }
}

TEST_F(ProgramLauncherTest, ProgramIsStartedWaitedForAndItsExitCodeRead) {
  processes.AddProgram(kTool, 7);
  EXPECT_EQ(launcher.Run(kTool, "-a", "C:\\Work\\", quiet), 7u);
  const std::vector<std::string> closed = Calls("CloseProcessHandle");
  ASSERT_EQ(closed.size(), 2u);
  // The thread handle goes at once, before the wait on the process; the process's after its code.
  const std::string process = closed[1].substr(closed[1].rfind(' ') + 1);
  EXPECT_THAT(log.entries(), ElementsAre("CreateProcess \"C:\\Prog\\tool.exe\" -a | C:\\Work\\ | 1",
                                         closed[0], "WaitForProcessFor " + process + " 50",
                                         "ExitCodeOf " + process, closed[1]));
  EXPECT_EQ(processes.open_handles(), 0);
  EXPECT_THAT(Calls("ShellExecute"), IsEmpty());
}

TEST_F(ProgramLauncherTest, DocumentIsOpenedThroughTheShell) {
  processes.AddDocument(kDocument, 9);
  EXPECT_EQ(launcher.Run(kDocument, "-p", "", quiet), 9u);
  const std::string process = Calls("ExitCodeOf")[0].substr(11);
  EXPECT_THAT(log.entries(),
              ElementsAre("CreateProcess \"C:\\Prog\\x.txt\" -p | (none) | 1",
                          "ShellExecuteEx Open C:\\Prog\\x.txt | -p | C:\\Prog\\ | 1",
                          "WaitForProcessFor " + process + " 50", "ExitCodeOf " + process,
                          "CloseProcessHandle " + process));
  EXPECT_EQ(processes.open_handles(), 0);
}

TEST_F(ProgramLauncherTest, ShellWorkingDirectoryIsTheGivenOneOrTheFilesOwn) {
  struct Case {
    const char* file;
    const char* working_directory;
    const char* expected;  // as the shell gets it
  };
  for (const Case& c :
       {Case{"C:\\Prog\\x.txt", "", "C:\\Prog\\"}, Case{"x.txt", "", "(none)"},
        Case{"\\x.txt", "", "(none)"}, Case{"C:\\Prog\\x.txt", "D:\\Work\\", "D:\\Work\\"},
        Case{"x.txt", "D:\\Work", "D:\\Work"}}) {
    processes.AddDocument(c.file, 0);
    log.Clear();
    launcher.Run(c.file, "", c.working_directory, quiet);
    EXPECT_THAT(Calls("ShellExecuteEx"), ElementsAre("ShellExecuteEx Open " + std::string(c.file) +
                                                     " |  | " + c.expected + " | 1"))
        << c.file << " in " << c.working_directory;
  }
  EXPECT_EQ(processes.open_handles(), 0);
}

// The file went to a program that was already running: nothing to wait for, no exit code; and a
// file that nothing can start gives none either.
TEST_F(ProgramLauncherTest, NothingToWaitForGivesNoExitCode) {
  processes.AddDocument(kDocument, 5, /*reports_process=*/false);
  EXPECT_EQ(launcher.Run(kDocument, "", "", quiet), std::nullopt);
  EXPECT_THAT(Calls("CloseProcessHandle"), IsEmpty());
  EXPECT_THAT(Calls("WaitForProcess"), IsEmpty());

  log.Clear();
  EXPECT_EQ(launcher.Run("C:\\Prog\\broken.exe", "-x", "", quiet), std::nullopt);
  EXPECT_EQ(Calls("ShellExecuteEx").size(), 1u);
  EXPECT_THAT(Calls("WaitForProcess"), IsEmpty());
  EXPECT_EQ(processes.open_handles(), 0);
}

// The wait goes in slices, a beat after each one that ran out; a program started through the
// shell is waited for the same way. With a time limit, one still running then is ended.
TEST_F(ProgramLauncherTest, WaitingInSlicesBeatsUntilTheProgramEndsOrItsTimeIsUp) {
  struct CountingProgress : Progress {
    void Show(const std::string&) override {}
    void Beat() override { ++beats; }
    int beats = 0;
  } progress;
  processes.AddProgram(kTool, 0);
  processes.AddDocument(kDocument, 0);
  for (const char* file : {kTool, kDocument}) {
    progress.beats = 0;
    processes.timed_waits_before_exit = 3;
    log.Clear();
    EXPECT_EQ(launcher.Run(file, "", "", progress), 0u);
    EXPECT_EQ(progress.beats, 3) << file;
    EXPECT_EQ(Calls("WaitForProcessFor").size(), 4u) << file;
    EXPECT_THAT(Calls("WaitForProcess "), IsEmpty()) << file;
    EXPECT_THAT(Calls("EndProcess"), IsEmpty()) << file;
  }
  // Four slices of 50 ms: a program that ends in the fourth is not ended.
  for (std::uint32_t slices_to_exit : {3u, 4u}) {
    processes.timed_waits_before_exit = slices_to_exit;
    log.Clear();
    const std::optional<std::uint32_t> code = launcher.Run(kTool, "", "", progress, 200);
    EXPECT_EQ(Calls("WaitForProcessFor").size(), 4u) << slices_to_exit;
    EXPECT_EQ(Calls("EndProcess").size(), slices_to_exit == 3u ? 0u : 1u) << slices_to_exit;
    EXPECT_EQ(code, slices_to_exit == 3u ? std::optional<std::uint32_t>(0) : std::nullopt);
  }
  EXPECT_EQ(processes.open_handles(), 0);
}

}  // namespace
}  // namespace uninstall
