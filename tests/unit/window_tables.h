// The program's two windows as their tables give them, with the sample texts: what the window
// descriptions of the program must be. Written out apart from the program's own, so that the host
// tests that compare them catch a change to either.
#ifndef UNINSTALL_TESTS_UNIT_WINDOW_TABLES_H_
#define UNINSTALL_TESTS_UNIT_WINDOW_TABLES_H_

#include <string>

#include "platform/window_toolkit.h"
#include "ui/control_ids.h"
#include "win32/sample_windows.h"

namespace uninstall {

inline ControlSpec Described(int number, ControlKind kind, int parent, int x, int y, int width,
                             int height, const std::string& text = "", const FontSpec& font = {},
                             bool visible = true) {
  return {number, kind, parent, x, y, width, height, text, font, visible};
}

// What the main window for those texts must be.
inline WindowSpec SampleMainWindow() {
  using enum ControlKind;
  const FontSpec gui;
  WindowSpec description{kMainWindow, " Sample", 400, 200, false, 400, {}};
  description.controls = {
      Described(kHeaderPanel, kPanel, 0, 0, 0, 480, 48),
      Described(kHeaderTitleText, kText, kHeaderPanel, 10, 10, 345, 15, "Uninstall Program",
                {"Arial", 8, true}),
      Described(kHeaderMessageText, kText, kHeaderPanel, 20, 24, 335, 15,
                "Program files and registry entries will be removed.", {"Arial", 8, false}),
      Described(kHeaderIcon, kIcon, kHeaderPanel, 360, 8, 32, 32),
      Described(kInfoText, kText, 0, 10, 60, 380, 18,
                "Remove the following program from your computer:", {"Arial", 10, false}),
      Described(kProgramNameText, kText, 0, 10, 80, 380, 18, "Sample (Version 1.0)",
                {"Arial", 10, true}),
      Described(kDeleteAllCheckBox, kCheckBox, 0, 10, 110, 380, 15,
                " Delete all(!) files in the directory (including user files).", gui),
      Described(kRemovalProgressBar, kProgressBar, 0, 10, 128, 380, 12, "", {}, false),
      Described(0, kEtchedLine, 0, 2, 144, 399, 2),
      Described(kOkButton, kButton, 0, 5, 151, 60, 20, "OK", gui),
      Described(kCancelButton, kButton, 0, 325, 151, 70, 20, "Cancel", gui),
      Described(kReadyButton, kButton, 0, 325, 151, 70, 20, "Ready", gui, false),
  };
  return description;
}

// What the logon dialog for those texts must be.
inline WindowSpec SampleLogonDialog() {
  using enum ControlKind;
  const FontSpec gui;
  WindowSpec description{kLogonDialog, " Login as administrator", 260, 135, true, 0, {}};
  description.controls = {
      Described(kUserLabel, kRightText, 0, 20, 27, 90, 15, "Username:", gui),
      Described(kUserField, kEdit, 0, 115, 25, 120, 20, "", gui),
      Described(kPasswordLabel, kRightText, 0, 20, 62, 90, 15, "Password:", gui),
      Described(kPasswordField, kPasswordEdit, 0, 115, 60, 120, 20, "", gui),
      Described(kLoginButton, kButton, 0, 90, 104, 80, 22, "Login", {"System", 10, true}),
      Described(kLogonFrame, kFrame, 0, 10, 10, 240, 85),
  };
  return description;
}

}  // namespace uninstall

#endif  // UNINSTALL_TESTS_UNIT_WINDOW_TABLES_H_
