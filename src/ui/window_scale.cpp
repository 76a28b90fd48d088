#include "ui/window_scale.h"

#include <cstdint>

namespace uninstall {
namespace {

// a * b / c rounded half away from zero, as MulDiv does it.
int MultipliedDivided(int a, int b, int c) {
  const std::int64_t product = std::int64_t{a} * b;
  const std::int64_t half = c / 2;
  return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

}  // namespace

int ScaledPixels(int pixels, int dpi) { return MultipliedDivided(pixels, dpi, kLayoutDpi); }

WindowSpec ScaledWindow(const WindowSpec& at_layout_dpi, int dpi) {
  WindowSpec scaled = at_layout_dpi;
  scaled.client_width = ScaledPixels(scaled.client_width, dpi);
  scaled.client_height = ScaledPixels(scaled.client_height, dpi);
  scaled.status_bar_field_right = ScaledPixels(scaled.status_bar_field_right, dpi);
  for (ControlSpec& control : scaled.controls) {
    control.x = ScaledPixels(control.x, dpi);
    control.y = ScaledPixels(control.y, dpi);
    control.width = ScaledPixels(control.width, dpi);
    control.height = ScaledPixels(control.height, dpi);
  }
  return scaled;
}

int FontHeight(int points, int dpi) { return -MultipliedDivided(points, dpi, 72); }

}  // namespace uninstall
