#include "ui/window_heartbeat.h"

namespace uninstall {

WindowHeartbeat::WindowHeartbeat(WindowToolkit& windows)
    : windows_(windows), last_(windows.Milliseconds()) {}

void WindowHeartbeat::Beat() {
  // Unsigned arithmetic: the clock's wrap after 49 days changes nothing.
  if (windows_.Milliseconds() - last_ < kIntervalMilliseconds) return;
  windows_.HandlePaintAndSentMessages();
  last_ = windows_.Milliseconds();
}

}  // namespace uninstall
