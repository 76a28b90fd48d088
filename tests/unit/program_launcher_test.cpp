#include "external/program_launcher.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "fakes/call_log.h"
#include "fakes/fake_processes.h"

namespace uninstall {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr char kTool[] = "C:\\Prog\\tool.exe";
constexpr char kDocument[] = "C:\\Prog\\x.txt";

class ProgramLauncherTest : public ::testing::Test {
 protected:
  ProgramLauncherTest() : processes(&log), launcher(processes) {}

  std::vector<std::string> Calls(const std::string& prefix) const { return log.Matching(prefix); }

  CallLog log;
  FakeProcesses processes;
  ProgramLauncher launcher;
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

TEST_F(ProgramLauncherTest, ProgramIsStartedWaitedForAndKept) {
  processes.AddProgram(kTool, 7);
  auto result = launcher.StartProgram(kTool, "-a", "C:\\Work\\", kWaitForExit | kKeepHandle);
  ASSERT_TRUE(result.started);
  ASSERT_NE(result.program, nullptr);
  const ProcessHandle process = result.program->process;
  EXPECT_EQ(result.program->process_id, 4242u);
  const std::vector<std::string> closed = Calls("CloseProcessHandle");
  ASSERT_EQ(closed.size(), 1u);
  // The thread handle goes at once, before the wait on the process.
  EXPECT_NE(closed[0], "CloseProcessHandle " + std::to_string(process));
  EXPECT_THAT(log.entries(), ElementsAre("CreateProcess \"C:\\Prog\\tool.exe\" -a | C:\\Work\\ | 1",
                                         closed[0], "WaitForProcess " + std::to_string(process)));
  EXPECT_EQ(processes.open_handles(), 1);

  EXPECT_EQ(launcher.ProgramExitCode(result.program), 7u);
  launcher.CloseProgram(result.program);
  EXPECT_EQ(Calls("CloseProcessHandle").back(), "CloseProcessHandle " + std::to_string(process));
  EXPECT_EQ(processes.open_handles(), 0);
  EXPECT_THAT(Calls("ShellExecute"), IsEmpty());
}

TEST_F(ProgramLauncherTest, WithoutKeepHandleEverythingIsReleasedAtOnce) {
  processes.AddProgram(kTool, 3);
  for (std::uint32_t options : {0u, kWaitForExit}) {
    log.Clear();
    auto result = launcher.StartProgram(kTool, "", "", options);
    EXPECT_TRUE(result.started) << options;
    EXPECT_EQ(result.program, nullptr) << options;
    EXPECT_THAT(Calls("CreateProcess"),
                ElementsAre("CreateProcess \"C:\\Prog\\tool.exe\" | (none) | 1"));
    EXPECT_EQ(Calls("WaitForProcess").size(), options == kWaitForExit ? 1u : 0u) << options;
    EXPECT_EQ(Calls("CloseProcessHandle").size(), 2u) << options;
    EXPECT_EQ(processes.open_handles(), 0) << options;
  }
  // Keeping without waiting returns the running program at once.
  log.Clear();
  auto kept = launcher.StartProgram(kTool, "", "", kKeepHandle);
  ASSERT_NE(kept.program, nullptr);
  EXPECT_THAT(Calls("WaitForProcess"), IsEmpty());
  launcher.CloseProgram(kept.program);
  EXPECT_EQ(processes.open_handles(), 0);
}

TEST_F(ProgramLauncherTest, KeptProgramsStayValidWhileOthersAreClosed) {
  processes.AddProgram("C:\\a.exe", 11);
  processes.AddProgram("C:\\b.exe", 22);
  RunningProgram* a = launcher.StartProgram("C:\\a.exe", "", "", kKeepHandle).program;
  RunningProgram* b = launcher.StartProgram("C:\\b.exe", "", "", kKeepHandle).program;
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  launcher.CloseProgram(a);
  EXPECT_EQ(launcher.ProgramExitCode(b), 22u);
  launcher.CloseProgram(b);
  EXPECT_EQ(processes.open_handles(), 0);
}

TEST_F(ProgramLauncherTest, DocumentIsOpenedThroughTheShell) {
  processes.AddDocument(kDocument, 9);
  auto result = launcher.StartProgram(kDocument, "-p", "", kWaitForExit | kKeepHandle);
  ASSERT_TRUE(result.started);
  ASSERT_NE(result.program, nullptr);
  const std::string process = std::to_string(result.program->process);
  EXPECT_EQ(result.program->process_id, ProgramLauncher::kUnknownProcessId);
  EXPECT_THAT(log.entries(),
              ElementsAre("CreateProcess \"C:\\Prog\\x.txt\" -p | (none) | 1",
                          "ShellExecuteEx Open C:\\Prog\\x.txt | -p | C:\\Prog\\ | 1",
                          "WaitForProcess " + process));
  EXPECT_EQ(launcher.ProgramExitCode(result.program), 9u);
  launcher.CloseProgram(result.program);
  EXPECT_EQ(processes.open_handles(), 0);

  // Without KeepHandle the shell's process handle is released at once.
  log.Clear();
  result = launcher.StartProgram(kDocument, "", "", kWaitForExit);
  EXPECT_TRUE(result.started);
  EXPECT_EQ(result.program, nullptr);
  EXPECT_EQ(Calls("CloseProcessHandle").size(), 1u);
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
    launcher.StartProgram(c.file, "", c.working_directory, kWaitForExit);
    EXPECT_THAT(Calls("ShellExecuteEx"), ElementsAre("ShellExecuteEx Open " + std::string(c.file) +
                                                     " |  | " + c.expected + " | 1"))
        << c.file << " in " << c.working_directory;
  }
  EXPECT_EQ(processes.open_handles(), 0);
}

// The file went to a program that was already running: no process to wait for or to close.
TEST_F(ProgramLauncherTest, ShellReportingNoProcessGivesExitCodeZero) {
  processes.AddDocument(kDocument, 5, /*reports_process=*/false);
  auto result = launcher.StartProgram(kDocument, "", "", kWaitForExit | kKeepHandle);
  ASSERT_TRUE(result.started);
  ASSERT_NE(result.program, nullptr);
  EXPECT_EQ(result.program->process, 0u);
  EXPECT_EQ(launcher.ProgramExitCode(result.program), 0u);
  launcher.CloseProgram(result.program);

  EXPECT_TRUE(launcher.StartProgram(kDocument, "", "", kWaitForExit).started);
  EXPECT_THAT(Calls("CloseProcessHandle"), IsEmpty());
}

TEST_F(ProgramLauncherTest, NothingStartableGivesNothing) {
  for (std::uint32_t options : {0u, kWaitForExit, kWaitForExit | kKeepHandle}) {
    log.Clear();
    auto result = launcher.StartProgram("C:\\Prog\\broken.exe", "-x", "", options);
    EXPECT_FALSE(result.started) << options;
    EXPECT_EQ(result.program, nullptr) << options;
    EXPECT_EQ(Calls("ShellExecuteEx").size(), 1u) << options;
    EXPECT_THAT(Calls("WaitForProcess"), IsEmpty()) << options;
  }
  EXPECT_EQ(processes.open_handles(), 0);
}

// With a heartbeat the wait goes in slices, a beat after each one that ran out; a program
// started through the shell is waited for the same way.
TEST_F(ProgramLauncherTest, WaitingInSlicesBeatsUntilTheProgramEnds) {
  struct CountingHeartbeat : Heartbeat {
    void Beat() override { ++beats; }
    void ShowStatus(const std::string&) override {}
    int beats = 0;
  } heartbeat;
  launcher.SetHeartbeat(&heartbeat);
  processes.AddProgram(kTool, 0);
  processes.AddDocument(kDocument, 0);
  for (const char* file : {kTool, kDocument}) {
    heartbeat.beats = 0;
    processes.timed_waits_before_exit = 3;
    log.Clear();
    EXPECT_TRUE(launcher.StartProgram(file, "", "", kWaitForExit).started);
    EXPECT_EQ(heartbeat.beats, 3) << file;
    EXPECT_EQ(Calls("WaitForProcessFor").size(), 4u) << file;
    EXPECT_THAT(Calls("WaitForProcess "), IsEmpty()) << file;
  }
  EXPECT_EQ(processes.open_handles(), 0);
}

}  // namespace
}  // namespace uninstall
