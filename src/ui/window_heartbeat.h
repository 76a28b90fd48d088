// Keeps the program's windows alive while a long step runs on the one thread: at most every
// few dozen milliseconds, they handle their paint messages and what other programs send them.
#ifndef UNINSTALL_UI_WINDOW_HEARTBEAT_H_
#define UNINSTALL_UI_WINDOW_HEARTBEAT_H_

#include <cstdint>
#include <string>

#include "common/heartbeat.h"
#include "platform/window_toolkit.h"

namespace uninstall {

class WindowHeartbeat : public Heartbeat {
 public:
  // Often enough that a window never waits 100 ms, seldom enough to cost next to nothing.
  static constexpr std::uint32_t kIntervalMilliseconds = 50;

  explicit WindowHeartbeat(WindowToolkit& windows);

  // When the interval has passed since the last time: puts the newest status text into the
  // status bar and lets the windows handle their paint and sent messages, which draws it.
  // Otherwise only reads the clock. Input stays queued.
  void Beat() override;
  void ShowStatus(const std::string& text) override;

 private:
  WindowToolkit& windows_;
  std::uint32_t last_;
  std::string pending_status_;  // "" when the status bar shows the newest text
};

}  // namespace uninstall

#endif  // UNINSTALL_UI_WINDOW_HEARTBEAT_H_
