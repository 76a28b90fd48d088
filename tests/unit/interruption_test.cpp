// A run cut short at any platform call (a crash, a power cut, Task Manager: that call and every
// one after it never happen) and then started again in the same mode ends where one whole run
// ends, but for one state that the user finishes by hand: when the first run was cut short
// after the main executable went, the program files are gone and the uninstall entry goes with
// the second run, but the second run takes the program for removed already (window: the
// "Uninstalling program not possible." box), so uninstall.dat, the scripts and the two programs
// stay beside the uninstaller, which does not remove itself; and when it was cut short after
// uninstall.dat went, the second run shows the box that uninstall.dat is missing, and only the
// uninstaller is left.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "fakes/fake_world.h"

namespace uninstall {
namespace {

// What a second run may leave beyond a whole run's end, in the state above.
const std::set<std::string> kFinishedByHand = {"C:\\App\\uninstall.dat", "C:\\App\\Uninstall.vbs",
                                               "C:\\App\\before.exe", "C:\\App\\after.exe"};
constexpr char kBatch[] = "C:\\~~uninst-4242.bat";

std::vector<std::string> Without(const std::vector<std::string>& paths,
                                 const std::vector<std::string>& others) {
  std::vector<std::string> rest;
  std::set_difference(paths.begin(), paths.end(), others.begin(), others.end(),
                      std::back_inserter(rest));
  return rest;
}

// How the world after an interrupted run and a second one differs from `whole`, beyond the
// state the user finishes by hand; "" when it does not.
std::string Difference(const FakeWorld& world, const FakeWorld& whole) {
  std::string problems;
  const std::vector<std::string> paths = world.fs.AllPaths();
  const std::vector<std::string> whole_paths = whole.fs.AllPaths();
  const std::vector<std::string> extra = Without(paths, whole_paths);
  for (const std::string& path : extra) {
    if (kFinishedByHand.count(path) == 0) problems += "left " + path + "; ";
  }
  for (const std::string& path : Without(whole_paths, paths)) {
    // No batch where the second run did not get so far.
    if (path != kBatch) problems += "gone " + path + "; ";
  }
  if (world.fs.Exists("C:\\App\\App.exe")) problems += "the program is still there; ";
  if (world.registry.Dump() != whole.registry.Dump()) problems += "the registry differs; ";
  return problems;
}

TEST(InterruptionTest, ARunCutShortAnywhereIsFinishedByTheNextOne) {
  struct Mode {
    const char* name;
    bool window;
    bool delete_all;
  };
  for (const Mode& mode : {Mode{"quiet", false, false}, Mode{"window", true, false},
                           Mode{"window, delete all", true, true}}) {
    SCOPED_TRACE(mode.name);
    FakeWorld whole(kRichDescription);
    ASSERT_EQ(whole.RunAnswered(mode.window, mode.delete_all), 0);
    ASSERT_FALSE(whole.fs.Exists("C:\\App\\App.exe"));
    const std::int64_t calls = whole.log.calls();
    ASSERT_GT(calls, 200);
    for (std::int64_t call = 1; call <= calls; ++call) {
      FakeWorld world(kRichDescription);
      world.log.DieAt(call);
      world.RunAnswered(mode.window, mode.delete_all);
      const std::string died_at = call <= static_cast<std::int64_t>(world.log.entries().size())
                                      ? world.log.entries()[call - 1]
                                      : "?";
      world.log.DieAt(0);
      world.log.Clear();
      ASSERT_EQ(world.RunAnswered(mode.window, mode.delete_all), 0) << "call " << call;
      EXPECT_EQ(Difference(world, whole), "") << "cut short at call " << call << ": " << died_at;
    }
  }
}

}  // namespace
}  // namespace uninstall
