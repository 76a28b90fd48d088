// A progress that puts every status text into the fake status bar at once, and counts the beats
// and the pieces of work announced and done: the texts a step shows, in their order, without the
// window's throttling.
#ifndef UNINSTALL_TESTS_FAKES_STATUS_BAR_PROGRESS_H_
#define UNINSTALL_TESTS_FAKES_STATUS_BAR_PROGRESS_H_

#include <cstdint>
#include <string>

#include "common/progress.h"
#include "platform/window_toolkit.h"

namespace uninstall {

class StatusBarProgress : public Progress {
 public:
  explicit StatusBarProgress(WindowToolkit& windows) : windows_(windows) {}
  void Show(const std::string& subject) override {
    windows_.SetStatusText(StatusText(subject));
    ++beats;
  }
  void Beat() override { ++beats; }
  void Expect(std::uint64_t items) override { expected += items; }
  void Done() override { ++done; }

  int beats = 0;
  std::uint64_t expected = 0;
  std::uint64_t done = 0;

 private:
  WindowToolkit& windows_;
};

}  // namespace uninstall

#endif  // UNINSTALL_TESTS_FAKES_STATUS_BAR_PROGRESS_H_
