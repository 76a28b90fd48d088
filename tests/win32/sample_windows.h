// The English texts of the program's two windows for a sample program. The Win32-layer tests and
// helpers open the windows with them as the program lays them out (MainWindowSpec,
// LogonDialogSpec); the host tests fill their tables of the windows with them.
#ifndef UNINSTALL_TESTS_WIN32_SAMPLE_WINDOWS_H_
#define UNINSTALL_TESTS_WIN32_SAMPLE_WINDOWS_H_

#include <string>

#include "ui/logon_dialog.h"
#include "ui/main_window.h"

namespace uninstall {

// The sample program's main-window texts in English.
inline MainWindowTexts SampleTexts() {
  return {" Sample",
          "Uninstall Program",
          "Program files and registry entries will be removed.",
          "Remove the following program from your computer:",
          "Sample (Version 1.0)",
          " Delete all(!) files in the directory (including user files).",
          "OK",
          "Cancel",
          "Ready"};
}

// The logon dialog's texts in English.
inline LogonTexts SampleLogonTexts() {
  return {" Login as administrator", "Username:",    "Password:", "Login",
          "Error - Login",           "Login failed."};
}

}  // namespace uninstall

#endif  // UNINSTALL_TESTS_WIN32_SAMPLE_WINDOWS_H_
