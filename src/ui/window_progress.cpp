#include "ui/window_progress.h"

namespace uninstall {

WindowProgress::WindowProgress(WindowToolkit& windows)
    : windows_(windows), last_(windows.Milliseconds()) {}

void WindowProgress::Beat() {
  // Unsigned arithmetic: the clock's wrap after 49 days changes nothing.
  if (windows_.Milliseconds() - last_ < kIntervalMilliseconds) return;
  if (!pending_status_.empty()) {
    windows_.SetStatusText(pending_status_);
    pending_status_.clear();
  }
  windows_.HandlePaintAndSentMessages();
  last_ = windows_.Milliseconds();
}

void WindowProgress::Show(const std::string& subject) {
  pending_status_ = StatusText(subject);
  Beat();
}

}  // namespace uninstall
