// Keeps the program's windows alive while a long step runs on the one thread: at most every
// few dozen milliseconds, they handle their paint messages and what other programs send them.
#ifndef UNINSTALL_UI_WINDOW_HEARTBEAT_H_
#define UNINSTALL_UI_WINDOW_HEARTBEAT_H_

#include <cstdint>

#include "common/heartbeat.h"
#include "platform/window_toolkit.h"

namespace uninstall {

class WindowHeartbeat : public Heartbeat {
 public:
  // Often enough that a window never waits 100 ms, seldom enough to cost next to nothing.
  static constexpr std::uint32_t kIntervalMilliseconds = 50;

  explicit WindowHeartbeat(WindowToolkit& windows);

  // Handles the windows' paint and sent messages when the interval has passed since the last
  // time; otherwise only reads the clock. Input stays queued.
  void Beat() override;

 private:
  WindowToolkit& windows_;
  std::uint32_t last_;
};

}  // namespace uninstall

#endif  // UNINSTALL_UI_WINDOW_HEARTBEAT_H_
