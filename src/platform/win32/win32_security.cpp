#include "platform/win32/win32_security.h"

#include <windows.h>

namespace uninstall {

ServiceManagerHandle Win32Security::OpenServiceManager(std::uint32_t access) {
  return reinterpret_cast<ServiceManagerHandle>(OpenSCManagerA(nullptr, nullptr, access));
}

void Win32Security::CloseServiceManager(ServiceManagerHandle handle) {
  CloseServiceHandle(reinterpret_cast<SC_HANDLE>(handle));
}

LogonToken Win32Security::LogonInteractive(const std::string& user, const std::string& domain,
                                           const std::string& password) {
  HANDLE token = nullptr;
  if (!LogonUserA(user.c_str(), domain.c_str(), password.c_str(), LOGON32_LOGON_INTERACTIVE,
                  LOGON32_PROVIDER_DEFAULT, &token)) {
    return 0;
  }
  return reinterpret_cast<LogonToken>(token);
}

bool Win32Security::Impersonate(LogonToken token) {
  return ImpersonateLoggedOnUser(reinterpret_cast<HANDLE>(token)) != FALSE;
}

bool Win32Security::EndImpersonation() { return RevertToSelf() != FALSE; }

void Win32Security::CloseToken(LogonToken token) { CloseHandle(reinterpret_cast<HANDLE>(token)); }

}  // namespace uninstall
