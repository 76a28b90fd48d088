// Status texts of the removal steps: two blanks, then the path or key being handled.
#ifndef UNINSTALL_COMMON_STATUS_LINE_H_
#define UNINSTALL_COMMON_STATUS_LINE_H_

#include <string>

#include "platform/window_toolkit.h"

namespace uninstall {

class StatusLine {
 public:
  // Texts go to the status bar of `windows`; with nullptr they go nowhere (a step that shows
  // them only for a removal started from the main window).
  explicit StatusLine(WindowToolkit* windows) : windows_(windows) {}

  void Show(const std::string& subject) const {
    if (windows_ != nullptr) windows_->SetStatusText("  " + subject);
  }

 private:
  WindowToolkit* windows_;
};

}  // namespace uninstall

#endif  // UNINSTALL_COMMON_STATUS_LINE_H_
