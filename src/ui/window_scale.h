// The windows at a display's scale: the positions, sizes and fonts of a window are given as at
// 96 DPI (100 %), and drawn at the DPI of the display the window is on, so that its text is
// sharp at any scale instead of being stretched as a bitmap by the system.
#ifndef UNINSTALL_UI_WINDOW_SCALE_H_
#define UNINSTALL_UI_WINDOW_SCALE_H_

#include "platform/window_toolkit.h"

namespace uninstall {

// The DPI at which the windows are laid out (100 %).
inline constexpr int kLayoutDpi = 96;

// `pixels` at 96 DPI as pixels at `dpi`, rounded to the nearest (as MulDiv rounds).
int ScaledPixels(int pixels, int dpi);
// The window laid out at `dpi`: its client size, every control's position and size, and the
// status bar's field. Fonts keep their points: their height follows the DPI they are made for.
WindowSpec ScaledWindow(const WindowSpec& at_layout_dpi, int dpi);
// The character height of a font of `points` at `dpi`, as CreateFont takes it (negative: the
// character's height, not the cell's).
int FontHeight(int points, int dpi);

}  // namespace uninstall

#endif  // UNINSTALL_UI_WINDOW_SCALE_H_
