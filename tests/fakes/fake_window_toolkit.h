// A scripted window toolkit: records every call and hands out queued events.
#ifndef UNINSTALL_TESTS_FAKES_FAKE_WINDOW_TOOLKIT_H_
#define UNINSTALL_TESTS_FAKES_FAKE_WINDOW_TOOLKIT_H_

#include <deque>
#include <functional>
#include <map>
#include <string>

#include "fakes/call_log.h"
#include "platform/window_toolkit.h"

namespace uninstall {

class FakeWindowToolkit : public WindowToolkit {
 public:
  explicit FakeWindowToolkit(CallLog* log) : log_(log) {}

  bool window_can_open = true;
  // Called when a message box is shown, before it is "closed".
  std::function<void(const std::string& title)> on_message_box;

  void QueueClick(int control, int window = kMainWindow);
  void QueueCloseRequest(int window = kMainWindow);
  // Ticks or unticks a check box as a user's click would.
  void QueueToggle(int control);

  bool window_open() const { return window_open_; }
  const MainWindowTexts& texts() const { return texts_; }
  // The status bar's text; only a shown window has one.
  const std::string& status_text() const { return status_text_; }
  bool visible(int control) const;
  bool enabled(int control) const;
  bool checked(int control) const;

  int ShowMessageBox(const std::string& title, const std::string& text,
                     std::uint32_t flags) override;
  void SetStatusText(const std::string& text) override;
  void LoadProgramIcon() override;
  void ReleaseProgramIcon() override;
  bool OpenMainWindow(const MainWindowTexts& texts) override;
  void ShowControl(int control, bool visible) override;
  void EnableControl(int control, bool enabled) override;
  void SetChecked(int control, bool checked) override;
  bool IsChecked(int control) override;
  WindowEvent NextEvent() override;
  void CloseMainWindow() override;

 private:
  struct Queued {
    WindowEvent event;
    bool toggle = false;
  };
  CallLog* log_;
  std::deque<Queued> events_;
  bool window_open_ = false;
  MainWindowTexts texts_;
  std::string status_text_;
  std::map<int, bool> visible_;
  std::map<int, bool> enabled_;
  std::map<int, bool> checked_;
};

}  // namespace uninstall

#endif  // UNINSTALL_TESTS_FAKES_FAKE_WINDOW_TOOLKIT_H_
