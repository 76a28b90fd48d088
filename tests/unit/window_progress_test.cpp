#include "ui/window_progress.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/call_log.h"
#include "fakes/fake_window_toolkit.h"
#include "fakes/fake_world.h"
#include "ui/progress_amount.h"

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

// The bar's positions: growing with each piece of work done, slower but never back when a tree
// announces its entries while it is listed, moving on by itself while nothing is done for a
// second (a program waited for), and never at the end before the removal ends.
TEST(WindowProgressTest, TheBarGrowsNeverBackAndEndsWithTheRemoval) {
  CallLog log;
  FakeWindowToolkit windows(&log);
  WindowProgress progress(windows);
  windows.tick = 60;  // every beat lets the windows breathe
  std::vector<std::uint32_t> positions;
  auto position = [&] {
    const std::vector<std::string> set = log.Matching("SetProgress 17 ");
    return set.empty() ? 0u : static_cast<std::uint32_t>(std::stoul(set.back().substr(15)));
  };
  progress.Expect(4);
  for (int piece = 0; piece < 2; ++piece) {
    progress.Done();
    positions.push_back(position());
  }
  EXPECT_EQ(positions.back(), ProgressAmount::kBeforeEnd / 2);
  progress.Expect(6);  // a tree listed: its six entries
  for (int piece = 0; piece < 7; ++piece) {
    progress.Done();
    positions.push_back(position());
  }
  // A wait: no piece done, yet the bar moves on at least once a second.
  for (int beat = 0; beat < 40; ++beat) {
    progress.Beat();
    positions.push_back(position());
  }
  EXPECT_GT(positions.back(), positions[8]);
  progress.Done();
  positions.push_back(position());
  EXPECT_EQ(positions.back(), ProgressAmount::kBeforeEnd);
  for (std::size_t i = 1; i < positions.size(); ++i) EXPECT_LE(positions[i - 1], positions[i]);
  EXPECT_EQ(log.Matching("SetProgress 17 10000/10000").size(), 0u);
}

// Ticks of the bar's range: the last pieces move it no further than just before the end, a wait
// creeps a hundredth of what is left and at least one step, and the end is the removal's.
TEST(WindowProgressTest, AmountsShareWhatIsLeft) {
  ProgressAmount amount;
  amount.Done();
  EXPECT_EQ(amount.position(), 0u);
  amount.Creep();
  EXPECT_EQ(amount.position(), ProgressAmount::kBeforeEnd / 100);
  amount.Expect(1);
  amount.Done();
  EXPECT_EQ(amount.position(), ProgressAmount::kBeforeEnd);
  amount.Creep();
  EXPECT_EQ(amount.position(), ProgressAmount::kBeforeEnd);
  amount.Finish();
  EXPECT_EQ(amount.position(), ProgressAmount::kRange);
}

// A whole removal of the rich installation through the window, both ways: the bar grows and never
// moves back; the pieces announced are the pieces done, so the last piece takes the bar to just
// before the end, and the final status text fills it.
TEST(WindowProgressTest, ARichRemovalFillsTheBarExactlyAtItsEnd) {
  for (const bool delete_all : {false, true}) {
    SCOPED_TRACE(delete_all ? "delete all" : "ordinary");
    FakeWorld world(kRichDescription);
    world.windows.tick = 60;  // every beat lets the windows breathe
    world.RunAnswered(true, delete_all);
    std::vector<std::uint32_t> positions;
    for (const std::string& set : world.log.Matching("SetProgress 17 ")) {
      positions.push_back(static_cast<std::uint32_t>(std::stoul(set.substr(15))));
    }
    ASSERT_GE(positions.size(), 3u);
    for (std::size_t i = 1; i < positions.size(); ++i) EXPECT_LE(positions[i - 1], positions[i]);
    EXPECT_EQ(positions[positions.size() - 2], ProgressAmount::kBeforeEnd);
    EXPECT_EQ(positions.back(), ProgressAmount::kRange);
    EXPECT_LT(world.log.Position("SetProgress 17 10000/10000"),
              world.log.Position("SetStatusText   Uninstalling completed."));
  }
}

}  // namespace
}  // namespace uninstall
