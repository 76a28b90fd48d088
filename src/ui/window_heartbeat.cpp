#include "ui/window_heartbeat.h"

namespace uninstall {

WindowHeartbeat::WindowHeartbeat(WindowToolkit& windows)
    : windows_(windows), last_(windows.Milliseconds()) {}

void WindowHeartbeat::Beat() {
  // Unsigned arithmetic: the clock's wrap after 49 days changes nothing.
  if (windows_.Milliseconds() - last_ < kIntervalMilliseconds) return;
  if (!pending_status_.empty()) {
    windows_.SetStatusText(pending_status_);
    pending_status_.clear();
  }
  windows_.HandlePaintAndSentMessages();
  last_ = windows_.Milliseconds();
}

void WindowHeartbeat::ShowStatus(const std::string& text) {
  pending_status_ = text;
  Beat();
}

}  // namespace uninstall
