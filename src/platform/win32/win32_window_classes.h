// The two window classes of the program's windows: the top-level window, whose procedure turns
// control notifications and close requests into queued window events, and the white panel.
#ifndef UNINSTALL_PLATFORM_WIN32_WIN32_WINDOW_CLASSES_H_
#define UNINSTALL_PLATFORM_WIN32_WIN32_WINDOW_CLASSES_H_

#include <windows.h>

#include <deque>

#include "platform/window_toolkit.h"

namespace uninstall {

inline constexpr char kTopLevelClass[] = "UninstallWindow";
inline constexpr char kPanelClass[] = "UninstallPanel";

// What CreateWindowExA hands a top-level window as its creation parameter: where its events go,
// the number they carry, and its layout.
struct WindowLayout;
struct EventTarget {
  std::deque<WindowEvent>* events = nullptr;
  int window = 0;
  WindowLayout* layout = nullptr;  // laid out again when the window's DPI changes
};

// Registers both classes unless they are registered already; false when one is missing.
bool RegisterWindowClasses(HINSTANCE instance);
// Fails harmlessly while a window of the classes still exists.
void UnregisterWindowClasses(HINSTANCE instance);

}  // namespace uninstall

#endif  // UNINSTALL_PLATFORM_WIN32_WIN32_WINDOW_CLASSES_H_
