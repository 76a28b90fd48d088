#include "ui/logon_dialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "fakes/call_log.h"
#include "fakes/fake_security.h"
#include "fakes/fake_window_toolkit.h"
#include "ui/control_ids.h"
#include "window_tables.h"

namespace uninstall {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(LogonDialogTest, DialogIsLaidOutAsTheTableSays) {
  EXPECT_EQ(LogonDialogSpec(SampleLogonTexts()), SampleLogonDialog());
}

// The dialog's loop: Login tries whatever the fields hold, a refusal is told and empties both
// fields, a success or the close box ends the dialog at once, and the main window's events are
// read and dropped meanwhile.
TEST(LogonDialogTest, LoginUntilALogonSucceedsOrTheDialogIsClosed) {
  const struct {
    const char* events;
    LogonToken token;
    std::vector<std::string> logons;
    std::size_t refusals;
  } rows[] = {
      {"login close", {}, {"LogonInteractive  . "}, 1},
      {"user=admin password=wrong login user=admin password=secret login close",
       LogonToken(77),
       {"LogonInteractive admin . wrong", "LogonInteractive admin . secret"},
       1},
      {"main-ok main-close user=admin password=secret login",
       LogonToken(77),
       {"LogonInteractive admin . secret"},
       0},
      {"user=admin close login", {}, {}, 0},
      {"user=admin", {}, {}, 0},  // the queue ends
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.events);
    CallLog log;
    FakeWindowToolkit windows(&log);
    FakeSecurity security(&log);
    std::istringstream events(row.events);
    for (std::string event; events >> event;) {
      if (event == "login") windows.QueueClick(kLoginButton, kLogonDialog);
      if (event == "close") windows.QueueCloseRequest(kLogonDialog);
      if (event == "main-ok") windows.QueueClick(kOkButton);
      if (event == "main-close") windows.QueueCloseRequest();
      if (event.rfind("user=", 0) == 0) windows.QueueTyping(kUserField, event.substr(5));
      if (event.rfind("password=", 0) == 0) windows.QueueTyping(kPasswordField, event.substr(9));
    }
    EXPECT_EQ(AskForLogon(windows, security, SampleLogonTexts()), row.token);
    EXPECT_EQ(log.Matching("LogonInteractive"), row.logons);
    EXPECT_EQ(log.Matching("MessageBox Error - Login | Login failed. | 16").size(), row.refusals);
    EXPECT_EQ(log.Matching("SetControlText").size(), 2 * row.refusals);
    EXPECT_THAT(log.Matching("CloseWindow"), ElementsAre("CloseWindow 2"));
    EXPECT_TRUE(windows.open_windows().empty());
  }
  // After a refusal both fields are empty, the user name included, before the next try.
  CallLog log;
  FakeWindowToolkit windows(&log);
  FakeSecurity security(&log);
  windows.QueueTyping(kUserField, "admin");
  windows.QueueClick(kLoginButton, kLogonDialog);
  windows.QueueClick(kLoginButton, kLogonDialog);
  AskForLogon(windows, security, SampleLogonTexts());
  EXPECT_THAT(log.Matching("LogonInteractive"),
              ElementsAre("LogonInteractive admin . ", "LogonInteractive  . "));
}

TEST(LogonDialogTest, DialogThatCannotOpenLogsNobodyOn) {
  CallLog log;
  FakeWindowToolkit windows(&log);
  FakeSecurity security(&log);
  windows.window_can_open = false;
  windows.QueueClick(kLoginButton, kLogonDialog);
  EXPECT_FALSE(AskForLogon(windows, security, SampleLogonTexts()).valid());
  EXPECT_THAT(log.Matching("LogonInteractive"), IsEmpty());
  EXPECT_THAT(log.Matching("NextEvent"), IsEmpty());
}

}  // namespace
}  // namespace uninstall
