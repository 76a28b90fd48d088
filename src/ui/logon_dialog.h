// The dialog that asks for an administrator's name and password.
#ifndef UNINSTALL_UI_LOGON_DIALOG_H_
#define UNINSTALL_UI_LOGON_DIALOG_H_

#include "platform/security.h"
#include "platform/window_toolkit.h"

namespace uninstall {

// The dialog's window does not exist yet: no logon takes place and the token stays 0.
inline LogonToken AskForLogon(WindowToolkit& /*windows*/, Security& /*security*/) { return 0; }

}  // namespace uninstall

#endif  // UNINSTALL_UI_LOGON_DIALOG_H_
