#include "ui/main_window.h"

#include <algorithm>

#include "common/progress.h"
#include "ui/control_ids.h"
#include "ui/progress_amount.h"

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
      // In the free band above the line: how far the removal is, from OK on.
      {kRemovalProgressBar, Kind::kProgressBar, 0, 10, 128, 380, 12, "", {}, false},
      {0, Kind::kEtchedLine, 0, 2, 144, 399, 2, "", {}, true},
      {kOkButton, Kind::kButton, 0, 5, 151, 60, 20, texts.ok, dialog, true},
      {kCancelButton, Kind::kButton, 0, 325, 151, 70, 20, texts.cancel, dialog, true},
      {kReadyButton, Kind::kButton, 0, 325, 151, 70, 20, texts.ready, dialog, false},
  };
  return window;
}

bool MainWindow::Open(const MainWindowTexts& texts) {
  return windows_.OpenWindow(MainWindowSpec(texts));
}

void MainWindow::WithoutDeleteAll() {
  windows_.SetChecked(kDeleteAllCheckBox, Checked::kNo);
  windows_.ShowControl(kDeleteAllCheckBox, Visible::kNo);
}

int MainWindow::NextClickOf(std::initializer_list<int> buttons) {
  for (;;) {
    const WindowEvent event = windows_.NextEvent();
    if (event.kind == WindowEvent::Kind::kQueueEnded) return 0;
    if (event.kind == WindowEvent::Kind::kControl && event.window == kMainWindow &&
        std::find(buttons.begin(), buttons.end(), event.control) != buttons.end()) {
      return event.control;
    }
  }
}

bool MainWindow::Confirmed() { return NextClickOf({kOkButton, kCancelButton}) == kOkButton; }

bool MainWindow::DeleteAllTicked() const { return windows_.IsChecked(kDeleteAllCheckBox); }

void MainWindow::StartRemoval() {
  windows_.ShowControl(kOkButton, Visible::kNo);
  windows_.ShowControl(kCancelButton, Visible::kNo);
  // The window is painted while the removal runs: Ready shows, but answers only once it is done.
  windows_.EnableControl(kReadyButton, Enabled::kNo);
  windows_.ShowControl(kReadyButton, Visible::kYes);
  windows_.EnableControl(kDeleteAllCheckBox, Enabled::kNo);
  windows_.ShowControl(kRemovalProgressBar, Visible::kYes);
  windows_.SetTaskbarState(kRemovalProgressBar, WindowToolkit::TaskbarState::kNormal);
}

void MainWindow::ShowingError() {
  windows_.SetTaskbarState(kRemovalProgressBar, WindowToolkit::TaskbarState::kError);
}

void MainWindow::FinishRemoval(const std::string& status) {
  windows_.SetProgress(kRemovalProgressBar, ProgressAmount::kRange, ProgressAmount::kRange);
  windows_.SetTaskbarState(kRemovalProgressBar, WindowToolkit::TaskbarState::kNone);
  windows_.EnableControl(kReadyButton, Enabled::kYes);
  windows_.SetStatusText(StatusText(status));
}

bool MainWindow::ReadyClicked() { return NextClickOf({kReadyButton}) == kReadyButton; }

void MainWindow::Close() { windows_.CloseWindow(kMainWindow); }

}  // namespace uninstall
