// The status texts of the shell clean-up: shown only when the user started the removal from
// the main window, so that the quiet mode makes no window call at all.
#ifndef UNINSTALL_SHELL_STATUS_LINE_H_
#define UNINSTALL_SHELL_STATUS_LINE_H_

#include <string>

#include "platform/window_toolkit.h"

namespace uninstall {

class StatusLine {
 public:
  StatusLine(WindowToolkit& windows, bool interactive)
      : windows_(windows), interactive_(interactive) {}

  // Two blanks, then the path or key being handled.
  void Show(const std::string& subject) const {
    if (interactive_) windows_.SetStatusText("  " + subject);
  }

 private:
  WindowToolkit& windows_;
  bool interactive_;
};

}  // namespace uninstall

#endif  // UNINSTALL_SHELL_STATUS_LINE_H_
