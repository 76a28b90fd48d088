#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_processes.h"
#include "fakes/fake_security.h"
#include "platform/scoped_handle.h"
#include "preflight/administrator_logon.h"
#include "preflight/named_mutex.h"
#include "preflight/running_program.h"

namespace uninstall {
namespace {

using ::testing::ElementsAre;

TEST(NamedMutexTest, ExistingMutexIsReleasedAndEveryHandleClosed) {
  CallLog log;
  FakeProcesses processes(&log);
  processes.existing_mutexes = {"Running"};
  EXPECT_TRUE(NamedMutexExists(processes, "Running"));
  EXPECT_FALSE(NamedMutexExists(processes, "Other"));
  EXPECT_THAT(log.entries(),
              ElementsAre("CreateNamedMutex Running", "ReleaseNamedMutex 100", "CloseMutex 100",
                          "CreateNamedMutex Other", "CloseMutex 101"));
  EXPECT_EQ(processes.open_handles(), 0);
  processes.mutex_creation_fails = true;
  EXPECT_FALSE(NamedMutexExists(processes, "Running"));
}

TEST(RunningProgramTest, FilePartOfEachProcessComparedUpperCased) {
  struct Row {
    std::vector<std::string> processes;
    std::string wanted;
    bool running;
  };
  const Row rows[] = {
      {{"MYAPP.exe"}, "MyApp.EXE", true},
      {{"C:\\Program Files\\App\\MyApp.exe"}, "myapp.exe", true},
      {{"C:\\a/MyApp.exe"}, "myapp.exe", true},
      {{"C:\\App\\MyApp.exe"}, "C:\\App\\MyApp.exe", false},  // the wanted name stays whole
      {{"\"MyApp.exe\" -x"}, "MyApp.exe", true},  // one leading quote skipped, up to the next
      {{"\"C:\\A\\MyApp.exe\""}, "MyApp.exe", true},
      {{"\"\"MyApp.exe"}, "MyApp.exe", false},
      {{"MyApp.exe"}, " MyApp.exe", false},  // nothing is trimmed
      {{"az\xE0\xE9\xF7\xFE\xFF"}, "AZ\xC0\xC9\xD7\xDE\xDF", true},
      {{"\xC0\xD7\xDF"}, "\xE0\xF7\xFF", true},
      {{"\xBF"}, "\xDF", false},  // only 0xE0 to 0xFF move
      {{"`"}, "@", false},
      {{"{"}, "[", false},
      {{"App.exe", "-1"}, "-1", true},  // the default when ProgExe is absent
      {{"App.exe"}, "-1", false},
      {{}, "App.exe", false},
  };
  for (const Row& row : rows) {
    CallLog log;
    FakeProcesses processes(&log);
    processes.process_names = row.processes;
    EXPECT_EQ(IsProgramRunning(processes, row.wanted), row.running)
        << ::testing::PrintToString(row.wanted);
  }
}

TEST(RunningProgramTest, EveryProcessIsVisitedAndTheListClosed) {
  CallLog log;
  FakeProcesses processes(&log);
  processes.process_names = {"Other.exe", "APP.EXE", "app.exe", "Last.exe"};
  EXPECT_TRUE(IsProgramRunning(processes, "App.exe"));
  EXPECT_EQ(log.Matching("NextProcessName 100").size(), 5u);
  EXPECT_EQ(log.entries().back(), "CloseProcessList 100");
  EXPECT_EQ(processes.open_handles(), 0);

  log.Clear();
  processes.process_list_unavailable = true;
  EXPECT_FALSE(IsProgramRunning(processes, "App.exe"));
  EXPECT_THAT(log.entries(), ElementsAre("OpenProcessList"));
}

TEST(AdministratorLogonTest, RightsTestLogonAndRevert) {
  CallLog log;
  FakeSecurity security(&log);
  EXPECT_TRUE(HasAdministratorRights(security));
  security.has_rights = false;
  EXPECT_FALSE(HasAdministratorRights(security));
  EXPECT_THAT(log.Matching("OpenServiceManager"),
              ElementsAre("OpenServiceManager 983055", "OpenServiceManager 983055"));
  EXPECT_EQ(log.Matching("CloseServiceManager").size(), 1u);

  log.Clear();
  // A refused logon still asks for the impersonation, which then fails.
  EXPECT_FALSE(LogonAndImpersonate(security, "admin", "", "wrong").valid());
  LogonToken token = LogonAndImpersonate(security, "admin", "", "secret");
  EXPECT_TRUE(token.valid());
  RevertLogon(security, token);
  EXPECT_THAT(log.entries(), ElementsAre("LogonInteractive admin . wrong", "Impersonate 0",
                                         "LogonInteractive admin . secret", "Impersonate 77",
                                         "EndImpersonation", "CloseToken 77"));
}

// A handle's owner closes it once: at the end of its scope, where the code closes it, or, moved
// on, where its new owner ends; a moved-from owner and an empty one close nothing.
TEST(ScopedHandleTest, ClosesEachHandleOnceWhereverItEnds) {
  CallLog log;
  FakeProcesses processes(&log);
  std::uint32_t error = 0;
  {
    ScopedMutex first(processes, processes.CreateNamedMutex("a", &error));
    ScopedMutex second(processes, processes.CreateNamedMutex("b", &error));
    EXPECT_EQ(processes.open_handles(), 2);
    second.Close();
    second.Close();
    EXPECT_EQ(processes.open_handles(), 1);
    ScopedMutex taken = std::move(first);
    first.Close();
    EXPECT_EQ(processes.open_handles(), 1);
    first = std::move(taken);
    const ScopedMutex none;
    EXPECT_FALSE(none.valid());
  }
  EXPECT_EQ(processes.open_handles(), 0);
  EXPECT_EQ(log.Matching("CloseMutex").size(), 2u);
}

}  // namespace
}  // namespace uninstall
