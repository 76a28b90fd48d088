#include "plan/plan_windows.h"

#include <algorithm>

#include "ui/control_ids.h"

namespace uninstall {

bool PlanWindows::OpenWindow(const WindowSpec& description) {
  for (const ControlSpec& control : description.controls) {
    if (control.number != 0) visible_[control.number] = control.visible;
  }
  return true;
}

WindowEvent PlanWindows::NextEvent() {
  using Kind = WindowEvent::Kind;
  if (!confirmed_ && visible_[kOkButton]) {
    confirmed_ = true;
    if (delete_all_) {
      if (visible_[kDeleteAllCheckBox]) {
        checked_[kDeleteAllCheckBox] = true;
      } else {
        delete_all_withheld_ = true;
      }
    }
    return WindowEvent{Kind::kControl, kOkButton, kMainWindow};
  }
  if (!ready_ && visible_[kReadyButton]) {
    ready_ = true;
    return WindowEvent{Kind::kControl, kReadyButton, kMainWindow};
  }
  return WindowEvent{Kind::kQueueEnded, 0, 0};
}

int PlanWindows::MessageBoxUntilEnded(WindowHandle owner, const std::string& text,
                                      const std::string& title, std::uint32_t flags,
                                      ProcessHandle) {
  return MessageBoxWithOwner(owner, text, title, flags);
}

int PlanWindows::MessageBoxWithOwner(WindowHandle, const std::string& text,
                                     const std::string& title, std::uint32_t) {
  // Titles begin with a blank, for the look of the title bar.
  std::string shown =
      title.substr(std::min(title.find_first_not_of(' '), title.size())) + ": " + text;
  for (char& c : shown) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  plan_->Add("message", shown);
  return 1;  // OK
}

}  // namespace uninstall
