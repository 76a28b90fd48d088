// Every platform call of a whole run, made to fail one at a time: whatever fails, the run ends
// with exit code 0, leaves no handle open, and deletes nothing but the installation's own paths.
#include <gtest/gtest.h>

#include <string>

#include "fakes/fake_world.h"

namespace uninstall {
namespace {

TEST(FaultInjectionTest, AnyFailingCallEndsTheRunSoundly) {
  for (bool window : {false, true}) {
    SCOPED_TRACE(window ? "window" : "quiet");
    std::int64_t calls = 0;
    {
      FakeWorld world(kRichDescription);
      ASSERT_EQ(world.RunAnswered(window), 0);
      ASSERT_EQ(world.Problems(kRichDescription, true), "");
      ASSERT_FALSE(world.fs.Exists("C:\\App\\App.exe"));  // a run that removes what it should
      calls = world.log.calls();
    }
    ASSERT_GT(calls, 200);
    for (std::int64_t call = 1; call <= calls; ++call) {
      FakeWorld world(kRichDescription);
      world.log.FailCall(call);
      const int code = world.RunAnswered(window);
      const std::string failed = call <= static_cast<std::int64_t>(world.log.entries().size())
                                     ? world.log.entries()[call - 1]
                                     : "?";
      EXPECT_EQ(code, 0) << "call " << call << ": " << failed;
      EXPECT_EQ(world.Problems(kRichDescription, true), "") << "call " << call << ": " << failed;
    }
  }
}

}  // namespace
}  // namespace uninstall
