// The progress of a removal started from the main window: status texts go to its status bar, how
// far it is to its progress bar and taskbar button, and the beats keep the program's windows
// alive while the step runs on the one thread: at most every few dozen milliseconds, they handle
// their paint messages and what other programs send them.
#ifndef UNINSTALL_UI_WINDOW_PROGRESS_H_
#define UNINSTALL_UI_WINDOW_PROGRESS_H_

#include <cstdint>
#include <string>

#include "common/progress.h"
#include "platform/window_toolkit.h"
#include "ui/progress_amount.h"

namespace uninstall {

class WindowProgress : public Progress {
 public:
  // Often enough that a window never waits 100 ms, seldom enough to cost next to nothing.
  static constexpr std::uint32_t kIntervalMilliseconds = 50;
  // The longest the bar stands still while the removal runs.
  static constexpr std::uint32_t kCreepMilliseconds = 1000;

  explicit WindowProgress(WindowToolkit& windows);

  // The newest text is drawn at the latest with the next beat that lets the windows breathe; a
  // text overtaken before then is never drawn: drawing each of thousands of texts would take
  // far longer than the removal itself.
  void Show(const std::string& subject) override;
  // When the interval has passed since the last time: puts the newest status text into the
  // status bar and lets the windows handle their paint and sent messages, which draws it.
  // Otherwise only reads the clock. Input stays queued. The bar moves on when a second passed
  // without a piece of work done.
  void Beat() override;
  void Expect(std::uint64_t items) override { amount_.Expect(items); }
  void Done() override;

 private:
  WindowToolkit& windows_;
  std::uint32_t last_;
  std::string pending_status_;  // "" when the status bar shows the newest text
  ProgressAmount amount_;
  std::uint32_t shown_position_ = 0;  // where the bar is
  std::uint32_t last_move_;           // when a piece of work was done last
};

}  // namespace uninstall

#endif  // UNINSTALL_UI_WINDOW_PROGRESS_H_
