// A program that shows windows built by the window toolkit, for screenshots and for trying the
// UI helper on them: show_windows main|logon|both [pump|hang SECONDS].
// With "pump" it sets a status text every few milliseconds for SECONDS while only letting the
// windows paint and answer other programs, as a removal does; with "hang" it does nothing at
// all for SECONDS. Then the status bar shows "  Uninstalling completed." and the program waits
// for a close request of any of its windows, and exits with 0.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "platform/win32/win32_window_toolkit.h"
#include "ui/logon_dialog.h"
#include "ui/main_window.h"
#include "win32/sample_windows.h"

int main(int argc, char** argv) {
  using uninstall::WindowEvent;
  const std::string what = argc > 1 ? argv[1] : "main";
  const std::string busy = argc > 2 ? argv[2] : "";
  const DWORD milliseconds = argc > 3 ? std::strtoul(argv[3], nullptr, 10) * 1000 : 0;

  uninstall::Win32WindowToolkit toolkit;
  toolkit.LoadProgramIcon();
  if (what != "logon" && !toolkit.OpenWindow(uninstall::MainWindowSpec(uninstall::SampleTexts())))
    return 1;
  if (what != "main" &&
      !toolkit.OpenWindow(uninstall::LogonDialogSpec(uninstall::SampleLogonTexts())))
    return 1;

  const DWORD start = GetTickCount();
  for (int step = 0; GetTickCount() - start < milliseconds; ++step) {
    if (busy == "hang") {
      Sleep(50);
      continue;
    }
    toolkit.SetStatusText("  C:\\Program Files\\Sample\\file" + std::to_string(step / 100) +
                          ".txt");
    toolkit.HandlePaintAndSentMessages();
    Sleep(1);
  }
  toolkit.SetStatusText("  Uninstalling completed.");

  for (;;) {
    const WindowEvent event = toolkit.NextEvent();
    if (event.kind == WindowEvent::Kind::kCloseRequest ||
        event.kind == WindowEvent::Kind::kQueueEnded) {
      break;
    }
  }
  return 0;
}
