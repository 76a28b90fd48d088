#include "ui/window_progress.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/call_log.h"
#include "fakes/fake_window_toolkit.h"

namespace uninstall {
namespace {

using ::testing::ElementsAre;

// The windows get their messages once the interval has passed since the last time, whatever
// the number of beats in between; the clock's wrap changes nothing.
TEST(WindowProgressTest, LetsTheWindowsBreatheOncePerInterval) {
  for (std::uint32_t start : {0u, 0xFFFFFFF0u}) {
    CallLog log;
    FakeWindowToolkit windows(&log);
    windows.now = start;
    WindowProgress progress(windows);
    windows.tick = 10;  // every reading of the clock is 10 ms later
    for (int beat = 0; beat < 20; ++beat) progress.Beat();
    // 20 beats over about 200 ms: three times, each 50 ms after the last.
    EXPECT_EQ(log.Matching("HandlePaintAndSentMessages").size(), 3u) << start;
  }
}

// Of texts coming faster than the interval, the newest goes to the status bar with each breath,
// right before the windows paint it.
TEST(WindowProgressTest, StatusTextsReachTheBarOncePerInterval) {
  CallLog log;
  FakeWindowToolkit windows(&log);
  WindowProgress progress(windows);
  windows.tick = 10;
  for (int text = 0; text < 12; ++text) progress.Show("file" + std::to_string(text));
  // The last text goes with the next breath; later breaths leave the bar alone.
  for (int beat = 0; beat < 12; ++beat) progress.Beat();
  EXPECT_THAT(
      log.Matching("SetStatusText"),
      ElementsAre("SetStatusText   file5", "SetStatusText   file10", "SetStatusText   file11"));
  EXPECT_EQ(log.Matching("HandlePaintAndSentMessages").size(), 4u);
}

}  // namespace
}  // namespace uninstall
