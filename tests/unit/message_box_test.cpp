#include "ui/message_box.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/call_log.h"
#include "fakes/fake_window_toolkit.h"

namespace uninstall {
namespace {

WindowHandle W(std::uintptr_t number) { return WindowHandle(number); }

using ::testing::ElementsAre;

// A box blocks every window of the program: the owner through the system, every other visible,
// enabled window of the thread by being disabled while the box is shown.
TEST(MessageBoxTest, BlocksTheThreadsOtherWindowsAndPicksTheOwner) {
  CallLog log;
  FakeWindowToolkit windows(&log);
  // 1 foreground, ours; 2 ours; 3 another thread's; 4 ours but hidden; 5 ours but disabled.
  windows.top_level_windows = {W(1), W(2), W(3), W(4), W(5)};
  windows.window_threads = {{W(1), 1}, {W(2), 1}, {W(3), 9}, {W(4), 1}, {W(5), 1}};
  windows.window_processes = {{W(1), 1}, {W(2), 1}, {W(3), 1}, {W(4), 1}, {W(5), 1}};
  windows.window_shown = {{W(1), true}, {W(2), true}, {W(3), true}, {W(4), false}, {W(5), true}};
  windows.window_enabled = {{W(5), false}};
  windows.foreground = W(1);
  bool blocked_while_shown = false;
  windows.on_message_box = [&](const std::string&) {
    blocked_while_shown = !windows.window_enabled[W(2)];
  };
  EXPECT_EQ(ShowMessageBox(windows, "T", "x", 16), 1);
  EXPECT_TRUE(blocked_while_shown);
  EXPECT_THAT(log.Matching("EnableWindowHandle"),
              ElementsAre("EnableWindowHandle 2 0", "EnableWindowHandle 2 1"));
  EXPECT_THAT(windows.message_box_owners, ElementsAre(W(1)));

  // A foreground window of another program owns no box of ours; in quiet mode there is no
  // window of ours at all, and nothing is disabled.
  windows.window_processes[W(1)] = 7;
  windows.top_level_windows = {W(1), W(3)};
  log.Clear();
  ShowMessageBox(windows, "T", "x", 48);
  EXPECT_THAT(log.Matching("EnableWindowHandle"), ElementsAre());
  EXPECT_THAT(windows.message_box_owners, ElementsAre(W(1), WindowHandle()));
}

}  // namespace
}  // namespace uninstall
