#include "preflight/administrator_logon.h"

#include "platform/scoped_handle.h"
namespace uninstall {
namespace {

// STANDARD_RIGHTS_REQUIRED with connect, create-service, enumerate-service and lock.
constexpr std::uint32_t kServiceManagerAllAccess = 0xF000F;

}  // namespace

bool HasAdministratorRights(Security& security) {
  const ScopedServiceManager manager(security,
                                     security.OpenServiceManager(kServiceManagerAllAccess));
  return manager.valid();
}

LogonToken LogonAndImpersonate(Security& security, const std::string& user,
                               const std::string& domain, const std::string& password) {
  LogonToken token = security.LogonInteractive(user, domain.empty() ? "." : domain, password);
  // Asked whatever the logon gave; with no token it simply fails.
  security.Impersonate(token);
  return token;
}

void RevertLogon(Security& security, LogonToken token) {
  security.EndImpersonation();
  security.CloseToken(token);
}

}  // namespace uninstall
