#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "checks/administrator_logon.h"
#include "checks/named_mutex.h"
#include "fakes/fake_processes.h"
#include "fakes/fake_security.h"

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
  EXPECT_EQ(LogonAndImpersonate(security, "admin", "", "wrong"), 0u);
  LogonToken token = LogonAndImpersonate(security, "admin", "", "secret");
  EXPECT_NE(token, 0u);
  RevertLogon(security, token);
  EXPECT_THAT(log.entries(), ElementsAre("LogonInteractive admin . wrong", "Impersonate 0",
                                         "LogonInteractive admin . secret", "Impersonate 77",
                                         "EndImpersonation", "CloseToken 77"));
}

}  // namespace
}  // namespace uninstall
