#include "ui/message_box.h"

#include <vector>

namespace uninstall {

namespace {

// Shows a box through `show(owner)`: the owner is blocked by the box itself; every other window
// of this thread is blocked here.
template <typename Show>
int ShowBlocking(WindowToolkit& windows, Show show) {
  const std::uint32_t thread = windows.CurrentThread();
  const WindowHandle foreground = windows.Foreground();
  std::vector<WindowHandle> disabled;
  for (WindowHandle window : windows.TopLevelWindows()) {
    if (window != foreground && windows.ThreadOfWindow(window) == thread &&
        windows.IsWindowShown(window) && windows.IsWindowEnabledNow(window)) {
      windows.EnableWindowHandle(window, Enabled::kNo);
      disabled.push_back(window);
    }
  }
  const WindowHandle owner =
      foreground.valid() && windows.ProcessOfWindow(foreground) == windows.CurrentProcess()
          ? foreground
          : WindowHandle();
  const int pressed = show(owner);
  for (WindowHandle window : disabled) windows.EnableWindowHandle(window, Enabled::kYes);
  return pressed;
}

}  // namespace

int ShowMessageBox(WindowToolkit& windows, const std::string& title, const std::string& text,
                   std::uint32_t flags) {
  return ShowBlocking(windows, [&](WindowHandle owner) {
    return windows.MessageBoxWithOwner(owner, text, title, flags);
  });
}

int ShowMessageBoxUntilEnded(WindowToolkit& windows, const std::string& title,
                             const std::string& text, std::uint32_t flags, ProcessHandle running) {
  return ShowBlocking(windows, [&](WindowHandle owner) {
    return windows.MessageBoxUntilEnded(owner, text, title, flags, running);
  });
}

}  // namespace uninstall
