// Administrator rights: the test, the logon with impersonation, and the revert.
#ifndef UNINSTALL_PREFLIGHT_ADMINISTRATOR_LOGON_H_
#define UNINSTALL_PREFLIGHT_ADMINISTRATOR_LOGON_H_

#include <string>

#include "platform/security.h"

namespace uninstall {

// True when the local service control manager opens with full access.
bool HasAdministratorRights(Security& security);

// Logs the user on (an empty domain means ".") and impersonates the token on this thread.
// Returns the token; 0 when the logon was refused.
LogonToken LogonAndImpersonate(Security& security, const std::string& user,
                               const std::string& domain, const std::string& password);

// Ends the impersonation and releases the token.
void RevertLogon(Security& security, LogonToken token);

}  // namespace uninstall

#endif  // UNINSTALL_PREFLIGHT_ADMINISTRATOR_LOGON_H_
