#include "ui/main_window.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace uninstall
