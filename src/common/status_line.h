// Status texts of the removal steps: two blanks, then the path or key being handled.
#ifndef UNINSTALL_COMMON_STATUS_LINE_H_
#define UNINSTALL_COMMON_STATUS_LINE_H_

#include <string>

#include "common/heartbeat.h"
#include "platform/window_toolkit.h"

namespace uninstall {

class StatusLine {
 public:
  // Texts go to the status bar of `windows`; with nullptr they go nowhere (a step that shows
  // them only for a removal started from the main window). `heartbeat`, when not null, beats
  // with every text and every Beat, and decides when a text reaches the status bar: drawing
  // each of thousands of texts would take far longer than the removal itself.
  explicit StatusLine(WindowToolkit* windows, Heartbeat* heartbeat = nullptr)
      : windows_(windows), heartbeat_(heartbeat) {}

  void Show(const std::string& subject) const {
    if (windows_ == nullptr) {
      Beat();
    } else if (heartbeat_ != nullptr) {
      heartbeat_->ShowStatus("  " + subject);
    } else {
      windows_->SetStatusText("  " + subject);
    }
  }

  // A small piece of work is done.
  void Beat() const {
    if (heartbeat_ != nullptr) heartbeat_->Beat();
  }

  Heartbeat* heartbeat() const { return heartbeat_; }

 private:
  WindowToolkit* windows_;
  Heartbeat* heartbeat_;
};

}  // namespace uninstall

#endif  // UNINSTALL_COMMON_STATUS_LINE_H_
