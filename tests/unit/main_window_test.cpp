#include "ui/main_window.h"

#include <gtest/gtest.h>

#include "ui/window_scale.h"
#include "window_tables.h"

namespace uninstall {
namespace {

// The window as laid out for the sample program with the English texts: every control, its
// number, kind, place, size, text, font and first visibility (Ready hidden in Cancel's place).
TEST(MainWindowTest, WindowIsLaidOutAsTheTableSays) {
  const WindowSpec expected = SampleMainWindow();
  const WindowSpec actual = MainWindowSpec(SampleTexts());
  ASSERT_EQ(actual.controls.size(), expected.controls.size());
  for (std::size_t i = 0; i < expected.controls.size(); ++i) {
    EXPECT_EQ(actual.controls[i], expected.controls[i]) << "control " << i;
  }
  EXPECT_EQ(actual, expected);
}

// At another display scale every place and size is the table's, scaled as MulDiv rounds; the
// fonts keep their points, and their height follows the DPI.
TEST(MainWindowTest, EveryPlaceAndSizeFollowsTheDisplayScale) {
  const WindowSpec at_96 = MainWindowSpec(SampleTexts());
  EXPECT_EQ(ScaledWindow(at_96, 96), at_96);
  for (const int dpi : {120, 144, 192}) {
    SCOPED_TRACE(dpi);
    const WindowSpec scaled = ScaledWindow(at_96, dpi);
    EXPECT_EQ(scaled.client_width, 400 * dpi / 96);
    EXPECT_EQ(scaled.client_height, 200 * dpi / 96);
    EXPECT_EQ(scaled.status_bar_field_right, scaled.client_width);
    ASSERT_EQ(scaled.controls.size(), at_96.controls.size());
    for (std::size_t i = 0; i < at_96.controls.size(); ++i) {
      const ControlSpec& before = at_96.controls[i];
      const ControlSpec& after = scaled.controls[i];
      EXPECT_EQ(after.x, (before.x * dpi + 48) / 96) << "control " << i;
      EXPECT_EQ(after.y, (before.y * dpi + 48) / 96) << "control " << i;
      EXPECT_EQ(after.width, (before.width * dpi + 48) / 96) << "control " << i;
      EXPECT_EQ(after.height, (before.height * dpi + 48) / 96) << "control " << i;
      EXPECT_EQ(after.font, before.font);
      EXPECT_EQ(after.text, before.text);
    }
  }
  struct Height {
    int points, dpi, height;
  };
  for (const Height& h : {Height{8, 96, -11}, Height{10, 96, -13}, Height{8, 144, -16},
                          Height{10, 144, -20}, Height{10, 192, -27}}) {
    EXPECT_EQ(FontHeight(h.points, h.dpi), h.height) << h.points << " pt at " << h.dpi;
  }
  EXPECT_EQ(ScaledPixels(-3, 144), -5);
  EXPECT_EQ(ScaledPixels(3, 144), 5);
}

}  // namespace
}  // namespace uninstall
