// The window toolkit on Win32: message boxes through MessageBoxA, the program icon from
// resource 1, windows built from a WindowSpec with the common-controls status bar, and the
// queue of window events their procedures fill.
#ifndef UNINSTALL_PLATFORM_WIN32_WIN32_WINDOW_TOOLKIT_H_
#define UNINSTALL_PLATFORM_WIN32_WIN32_WINDOW_TOOLKIT_H_

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/win32/win32_window_builder.h"
#include "platform/window_toolkit.h"

namespace uninstall {

class Win32WindowToolkit : public WindowToolkit {
 public:
  Win32WindowToolkit();
  Win32WindowToolkit(const Win32WindowToolkit&) = delete;
  Win32WindowToolkit& operator=(const Win32WindowToolkit&) = delete;
  ~Win32WindowToolkit() override;

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
  // The HWND of the control with this number in any open window, panels included; null when
  // there is none.
  void* FindControl(int control) const;
  bool IsOpenWindow(void* window) const;
  // The taskbar's ITaskbarList3, made at its first use; null where the system has none.
  void* Taskbar();

  // HICON of icon resource 1, kept opaque so that this header needs no <windows.h>.
  void* program_icon_ = nullptr;
  std::vector<BuiltWindow> windows_;
  // Filled by the windows' procedures, emptied by NextEvent.
  std::deque<WindowEvent> events_;
  bool queue_ended_ = false;
  void* taskbar_ = nullptr;  // ITaskbarList3
  bool taskbar_tried_ = false;
  TaskbarState taskbar_state_ = TaskbarState::kNone;
  void* progress_window_ = nullptr;  // HWND of the window whose taskbar button shows progress
};

}  // namespace uninstall

#endif  // UNINSTALL_PLATFORM_WIN32_WIN32_WINDOW_TOOLKIT_H_
