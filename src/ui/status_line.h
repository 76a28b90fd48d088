// Status texts of the removal steps: two blanks, then the path or key being handled. Steps that
// show them only for a removal started from the main window pass `interactive` accordingly.
#ifndef UNINSTALL_UI_STATUS_LINE_H_
#define UNINSTALL_UI_STATUS_LINE_H_

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

#endif  // UNINSTALL_UI_STATUS_LINE_H_
