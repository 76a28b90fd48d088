// window_layout: the main window's layout as the program lays it out for the sample texts, in the
// form of the UI helper's `layout` command, tab-separated: "window CLIENT_WIDTH CLIENT_HEIGHT",
// then "ID X Y WIDTH HEIGHT" for each numbered control, in the window's client coordinates. What
// window_helper_checks.sh compares the helper's reading with.
#include <cstdio>
#include <map>

#include "ui/main_window.h"
#include "win32/sample_windows.h"

int main() {
  using uninstall::ControlSpec;
  const uninstall::WindowSpec window = uninstall::MainWindowSpec(uninstall::SampleTexts());
  std::printf("window\t%d\t%d\n", window.client_width, window.client_height);
  std::map<int, const ControlSpec*> numbered;
  for (const ControlSpec& control : window.controls) {
    if (control.number == 0) continue;
    numbered[control.number] = &control;
    int x = control.x;
    int y = control.y;
    // A panel's controls are placed in the panel; panels are listed before their controls.
    for (int parent = control.parent; parent != 0; parent = numbered.at(parent)->parent) {
      x += numbered.at(parent)->x;
      y += numbered.at(parent)->y;
    }
    std::printf("%d\t%d\t%d\t%d\t%d\n", control.number, x, y, control.width, control.height);
  }
  return 0;
}
