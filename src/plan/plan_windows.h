// The windows of a plan: nothing is shown. The main window is answered as a user would answer
// it for the planned mode: "Delete all" ticked where it is offered (for a plan of "delete all"),
// then OK, then Ready. Message boxes are written to the plan.
#ifndef UNINSTALL_PLAN_PLAN_WINDOWS_H_
#define UNINSTALL_PLAN_PLAN_WINDOWS_H_

#include <map>

#include "plan/plan_log.h"
#include "platform/window_toolkit.h"

namespace uninstall {

class PlanWindows : public WindowToolkit {
 public:
  PlanWindows(bool delete_all, PlanLog* plan) : delete_all_(delete_all), plan_(plan) {}

  // "Delete all" was to be ticked but the window did not offer it.
  bool delete_all_withheld() const { return delete_all_withheld_; }

  void SetStatusText(const std::string&) override {}
  void SetProgress(int, std::uint32_t, std::uint32_t) override {}
  void SetTaskbarState(int, TaskbarState) override {}
  void LoadProgramIcon() override {}
  void ReleaseProgramIcon() override {}
  void ShowControl(int control, Visible visible) override {
    visible_[control] = visible == Visible::kYes;
  }
  void EnableControl(int, Enabled) override {}
  void SetChecked(int control, Checked checked) override {
    checked_[control] = checked == Checked::kYes;
  }
  bool IsChecked(int control) override { return checked_[control]; }
  WindowEvent NextEvent() override;
  bool OpenWindow(const WindowSpec& description) override;
  void CloseWindow(int) override {}
  std::string ControlText(int) override { return ""; }
  void SetControlText(int, const std::string&) override {}
  void HandlePaintAndSentMessages() override {}
  std::uint32_t Milliseconds() override { return clock_ += 100; }
  int MessageBoxWithOwner(WindowHandle owner, const std::string& text, const std::string& title,
                          std::uint32_t flags) override;
  int MessageBoxUntilEnded(WindowHandle owner, const std::string& text, const std::string& title,
                           std::uint32_t flags, ProcessHandle running) override;
  std::vector<WindowHandle> TopLevelWindows() override { return {}; }
  std::uint32_t ThreadOfWindow(WindowHandle) override { return 0; }
  std::uint32_t ProcessOfWindow(WindowHandle) override { return 0; }
  std::uint32_t CurrentThread() override { return 0; }
  std::uint32_t CurrentProcess() override { return 0; }
  bool IsWindowShown(WindowHandle) override { return false; }
  bool IsWindowEnabledNow(WindowHandle) override { return false; }
  WindowHandle Foreground() override { return {}; }
  void EnableWindowHandle(WindowHandle, Enabled) override {}

 private:
  bool delete_all_;
  PlanLog* plan_;
  std::map<int, bool> visible_;
  std::map<int, bool> checked_;
  bool confirmed_ = false;
  bool ready_ = false;
  bool delete_all_withheld_ = false;
  std::uint32_t clock_ = 0;
};

}  // namespace uninstall

#endif  // UNINSTALL_PLAN_PLAN_WINDOWS_H_
