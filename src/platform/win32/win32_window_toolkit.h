// The window toolkit on Win32: message boxes through MessageBoxA, the program icon from
// resource 1, and (later) the main window with its common-controls status bar.
#ifndef UNINSTALL_PLATFORM_WIN32_WIN32_WINDOW_TOOLKIT_H_
#define UNINSTALL_PLATFORM_WIN32_WIN32_WINDOW_TOOLKIT_H_

#include <cstdint>
#include <string>

#include "platform/window_toolkit.h"

namespace uninstall {

class Win32WindowToolkit : public WindowToolkit {
 public:
  Win32WindowToolkit() = default;
  Win32WindowToolkit(const Win32WindowToolkit&) = delete;
  Win32WindowToolkit& operator=(const Win32WindowToolkit&) = delete;
  ~Win32WindowToolkit() override;

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
  // HICON of icon resource 1, kept opaque so that this header needs no <windows.h>.
  void* program_icon_ = nullptr;
};

}  // namespace uninstall

#endif  // UNINSTALL_PLATFORM_WIN32_WIN32_WINDOW_TOOLKIT_H_
