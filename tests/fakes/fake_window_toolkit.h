// A scripted window toolkit: records every call and hands out queued events.
#ifndef UNINSTALL_TESTS_FAKES_FAKE_WINDOW_TOOLKIT_H_
#define UNINSTALL_TESTS_FAKES_FAKE_WINDOW_TOOLKIT_H_

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "fakes/call_log.h"
#include "platform/window_toolkit.h"
#include "ui/control_ids.h"

namespace uninstall {

class FakeWindowToolkit : public WindowToolkit {
 public:
  explicit FakeWindowToolkit(CallLog* log) : log_(log) {}

  bool window_can_open = true;
  // Answers of the clock (which goes on by `tick` at every reading) and of the one-call window
  // primitives.
  std::uint32_t now = 0;
  std::uint32_t tick = 0;
  std::vector<WindowHandle> top_level_windows;
  std::map<WindowHandle, std::uint32_t> window_threads;
  std::map<WindowHandle, std::uint32_t> window_processes;
  std::uint32_t current_thread = 1;
  std::uint32_t current_process = 1;
  std::map<WindowHandle, bool> window_shown;
  std::map<WindowHandle, bool> window_enabled;
  WindowHandle foreground = {};
  // Called when a message box is shown, before it is "closed"; the owner each box had.
  std::function<void(const std::string& title)> on_message_box;
  // The buttons the message boxes are answered with, in turn; OK (1) once none is left.
  std::deque<int> box_answers;
  std::vector<WindowHandle> message_box_owners;

  void QueueClick(int control, int window = kMainWindow);
  void QueueCloseRequest(int window = kMainWindow);
  // Ticks or unticks a check box as a user's click would.
  void QueueToggle(int control);
  // Types `text` into an edit field (its whole text), with the field's change event.
  void QueueTyping(int control, const std::string& text, int window = kLogonDialog);

  // The status bar's text; only a shown window has one.
  const std::string& status_text() const { return status_text_; }
  // The windows opened by OpenWindow and not closed, by number; and the last window of each
  // number ever opened.
  const std::map<int, WindowSpec>& open_windows() const { return open_windows_; }
  const WindowSpec& opened(int window) { return opened_[window]; }
  bool visible(int control) const;
  bool enabled(int control) const;
  bool checked(int control) const;

  void SetStatusText(const std::string& text) override;
  void SetProgress(int control, std::uint32_t position, std::uint32_t range) override;
  void SetTaskbarState(int control, TaskbarState state) override;
  void LoadProgramIcon() override;
  void ReleaseProgramIcon() override;
  void ShowControl(int control, Visible visible) override;
  void EnableControl(int control, Enabled enabled) override;
  void SetChecked(int control, Checked checked) override;
  bool IsChecked(int control) override;
  WindowEvent NextEvent() override;
  bool OpenWindow(const WindowSpec& description) override;
  void CloseWindow(int window) override;
  std::string ControlText(int control) override;
  void SetControlText(int control, const std::string& text) override;
  void HandlePaintAndSentMessages() override;
  std::uint32_t Milliseconds() override;
  int MessageBoxWithOwner(WindowHandle owner, const std::string& text, const std::string& title,
                          std::uint32_t flags) override;
  int MessageBoxUntilEnded(WindowHandle owner, const std::string& text, const std::string& title,
                           std::uint32_t flags, ProcessHandle running) override;
  std::vector<WindowHandle> TopLevelWindows() override;
  std::uint32_t ThreadOfWindow(WindowHandle window) override;
  std::uint32_t ProcessOfWindow(WindowHandle window) override;
  std::uint32_t CurrentThread() override;
  std::uint32_t CurrentProcess() override;
  bool IsWindowShown(WindowHandle window) override;
  bool IsWindowEnabledNow(WindowHandle window) override;
  WindowHandle Foreground() override;
  void EnableWindowHandle(WindowHandle window, Enabled enabled) override;

 private:
  struct Queued {
    WindowEvent event;
    bool toggle = false;
    std::optional<std::string> typed;
  };
  CallLog* log_;
  std::deque<Queued> events_;
  bool queue_ended_ = false;
  std::string status_text_;
  std::map<int, bool> visible_;
  std::map<int, bool> enabled_;
  std::map<int, bool> checked_;
  std::map<int, WindowSpec> open_windows_;
  std::map<int, WindowSpec> opened_;
  std::map<int, std::string> control_texts_;
};

}  // namespace uninstall

#endif  // UNINSTALL_TESTS_FAKES_FAKE_WINDOW_TOOLKIT_H_
