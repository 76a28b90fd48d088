#include "ui/logon_dialog.h"

#include "preflight/administrator_logon.h"
#include "ui/control_ids.h"
#include "ui/message_box.h"

namespace uninstall {
namespace {

// Names are looked up in the local machine's own account database.
constexpr char kLocalMachine[] = ".";

// What was typed is no longer needed once the logon call has seen it.
void Wipe(std::string* text) {
  for (volatile char& c : *text) c = '\0';
  text->clear();
}

}  // namespace

WindowSpec LogonDialogSpec(const LogonTexts& texts) {
  const FontSpec dialog;  // the system's font for dialog controls
  using Kind = ControlKind;
  WindowSpec window;
  window.number = kLogonDialog;
  window.title = texts.title;
  window.client_width = 260;
  window.client_height = 135;
  window.close_box = true;
  window.controls = {
      {kUserLabel, Kind::kRightText, 0, 20, 27, 90, 15, texts.user, dialog, true},
      {kUserField, Kind::kEdit, 0, 115, 25, 120, 20, "", dialog, true},
      {kPasswordLabel, Kind::kRightText, 0, 20, 62, 90, 15, texts.password, dialog, true},
      {kPasswordField, Kind::kPasswordEdit, 0, 115, 60, 120, 20, "", dialog, true},
      {kLoginButton, Kind::kButton, 0, 90, 104, 80, 22, texts.login, {"System", 10, true}, true},
      {kLogonFrame, Kind::kFrame, 0, 10, 10, 240, 85, "", {}, true},
  };
  return window;
}

LogonToken AskForLogon(WindowToolkit& windows, Security& security, const LogonTexts& texts) {
  if (!windows.OpenWindow(LogonDialogSpec(texts))) return {};
  LogonToken token = {};
  for (;;) {
    const WindowEvent event = windows.NextEvent();
    if (event.kind == WindowEvent::Kind::kQueueEnded) break;
    if (event.window != kLogonDialog) continue;  // the main window's buttons do nothing now
    if (event.kind == WindowEvent::Kind::kCloseRequest) break;
    if (event.kind != WindowEvent::Kind::kControl || event.control != kLoginButton) continue;
    std::string password = windows.ControlText(kPasswordField);
    std::string user = windows.ControlText(kUserField);
    token = LogonAndImpersonate(security, user, kLocalMachine, password);
    Wipe(&password);
    if (token.valid()) break;
    ShowMessageBox(windows, texts.refused_title, texts.refused_text, kIconError);
    windows.SetControlText(kUserField, "");
    windows.SetControlText(kPasswordField, "");
  }
  windows.CloseWindow(kLogonDialog);
  return token;
}

}  // namespace uninstall
