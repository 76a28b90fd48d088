// The dialog that asks for an administrator's name and password.
#ifndef UNINSTALL_UI_LOGON_DIALOG_H_
#define UNINSTALL_UI_LOGON_DIALOG_H_

#include <string>

#include "platform/security.h"
#include "platform/window_toolkit.h"

namespace uninstall {

// The texts the dialog shows, taken when it opens.
struct LogonTexts {
  std::string title;          // " " + Logon
  std::string user;           // User
  std::string password;       // Password
  std::string login;          // Login
  std::string refused_title;  // RQ_Titel
  std::string refused_text;   // RQ_Msg
};

// The dialog's controls in creation order: the labels and fields inside a sunken frame, and the
// Login button, its only button; the close box is the way to give up.
WindowSpec LogonDialogSpec(const LogonTexts& texts);

// Opens the dialog and logs on whoever the user names, as often as it takes, until a logon
// succeeds or the dialog is closed; every refusal is told in a box, and both fields are emptied
// after it. Events of other windows are read and dropped meanwhile. Returns the token of the
// logged-on administrator, whose rights the program's thread then has; 0 without a logon.
LogonToken AskForLogon(WindowToolkit& windows, Security& security, const LogonTexts& texts);

}  // namespace uninstall

#endif  // UNINSTALL_UI_LOGON_DIALOG_H_
