#include "ui/window_progress.h"

#include "ui/control_ids.h"

namespace uninstall {

WindowProgress::WindowProgress(WindowToolkit& windows)
    : windows_(windows), last_(windows.Milliseconds()), last_move_(last_) {}

void WindowProgress::Beat() {
  // Unsigned arithmetic: the clock's wrap after 49 days changes nothing.
  const std::uint32_t now = windows_.Milliseconds();
  if (now - last_ < kIntervalMilliseconds) return;
  if (now - last_move_ >= kCreepMilliseconds) {
    amount_.Creep();
    last_move_ = now;
  }
  if (!pending_status_.empty()) {
    windows_.SetStatusText(pending_status_);
    pending_status_.clear();
  }
  if (amount_.position() != shown_position_) {
    shown_position_ = amount_.position();
    windows_.SetProgress(kRemovalProgressBar, shown_position_, ProgressAmount::kRange);
  }
  windows_.HandlePaintAndSentMessages();
  last_ = windows_.Milliseconds();
}

void WindowProgress::Done() {
  amount_.Done();
  last_move_ = last_;
  Beat();
}

void WindowProgress::Show(const std::string& subject) {
  pending_status_ = StatusText(subject);
  Beat();
}

}  // namespace uninstall
