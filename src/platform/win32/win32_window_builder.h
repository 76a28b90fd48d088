// Builds a top-level window and its controls from a WindowSpec, and takes it down again.
// Handles are kept as void* so that the toolkit's header needs no <windows.h>.
#ifndef UNINSTALL_PLATFORM_WIN32_WIN32_WINDOW_BUILDER_H_
#define UNINSTALL_PLATFORM_WIN32_WIN32_WINDOW_BUILDER_H_

#include <deque>
#include <vector>

#include "platform/window_toolkit.h"

namespace uninstall {

// The control identifier of a window's status bar, apart from the control numbers 1 to 16.
inline constexpr int kStatusBarControlId = 100;

// Where a window's controls are and the fonts made for them, at the DPI of its display.
struct WindowLayout;

struct BuiltWindow {
  int number = 0;
  void* window = nullptr;          // HWND
  void* status_bar = nullptr;      // HWND; none unless the description asks for one
  std::vector<void*> panels;       // HWNDs; the controls placed in a panel are its children
  WindowLayout* layout = nullptr;  // owned: DestroyBuiltWindow frees it
};

// Builds the window hidden, creates the controls in order, lays them out at the DPI of the
// display the window is on (the description's pixels are at 96 DPI), centres the window on
// the screen and shows it. `icon` (an HICON, may be null) goes into the kIcon controls; the
// window's procedure queues its events in `events`. False, with nothing left over, when the
// window itself cannot be created.
bool BuildWindow(const WindowSpec& description, void* icon, std::deque<WindowEvent>* events,
                 BuiltWindow* built);
// Lays the window's controls out again at `dpi`, with fonts made for it (the window moved to a
// display of another scale); the window's own frame is the caller's.
void LayOutAgain(WindowLayout* layout, int dpi);
// Destroys the window with its controls, then the fonts made for it.
void DestroyBuiltWindow(const BuiltWindow& built);

}  // namespace uninstall

#endif  // UNINSTALL_PLATFORM_WIN32_WIN32_WINDOW_BUILDER_H_
