#include "ui/main_window.h"

#include "ui/control_ids.h"

namespace uninstall {
namespace {

constexpr int kClientWidth = 400;
constexpr int kClientHeight = 200;

}  // namespace

WindowSpec MainWindowSpec(const MainWindowTexts& texts) {
  const FontSpec header_bold{"Arial", 8, true};
  const FontSpec header{"Arial", 8, false};
  const FontSpec info{"Arial", 10, false};
  const FontSpec info_bold{"Arial", 10, true};
  const FontSpec dialog;  // the system's font for dialog controls
  using Kind = ControlKind;
  WindowSpec window;
  window.number = kMainWindow;
  window.title = texts.title;
  window.client_width = kClientWidth;
  window.client_height = kClientHeight;
  window.close_box = false;  // the window closes through its buttons only
  window.status_bar_field_right = kClientWidth;
  window.controls = {
      // The white header is wider than the window; the window's edge cuts it.
      {kHeaderPanel, Kind::kPanel, 0, 0, 0, 480, 48, "", {}, true},
      {kHeaderTitleText, Kind::kText, kHeaderPanel, 10, 10, 345, 15, texts.header_title,
       header_bold, true},
      {kHeaderMessageText, Kind::kText, kHeaderPanel, 20, 24, 335, 15, texts.header_message, header,
       true},
      {kHeaderIcon, Kind::kIcon, kHeaderPanel, 360, 8, 32, 32, "", {}, true},
      {kInfoText, Kind::kText, 0, 10, 60, 380, 18, texts.info, info, true},
      {kProgramNameText, Kind::kText, 0, 10, 80, 380, 18, texts.name_with_version, info_bold, true},
      {kDeleteAllCheckBox, Kind::kCheckBox, 0, 10, 110, 380, 15, texts.delete_all, dialog, true},
      {0, Kind::kEtchedLine, 0, 2, 144, 399, 2, "", {}, true},
      {kOkButton, Kind::kButton, 0, 5, 151, 60, 20, texts.ok, dialog, true},
      {kCancelButton, Kind::kButton, 0, 325, 151, 70, 20, texts.cancel, dialog, true},
      {kReadyButton, Kind::kButton, 0, 325, 151, 70, 20, texts.ready, dialog, false},
  };
  return window;
}

bool OpenMainWindow(WindowToolkit& windows, const MainWindowTexts& texts) {
  return windows.OpenWindow(MainWindowSpec(texts));
}

void CloseMainWindow(WindowToolkit& windows) { windows.CloseWindow(kMainWindow); }

}  // namespace uninstall
