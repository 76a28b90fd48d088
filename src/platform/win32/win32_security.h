#ifndef UNINSTALL_PLATFORM_WIN32_WIN32_SECURITY_H_
#define UNINSTALL_PLATFORM_WIN32_WIN32_SECURITY_H_

#include "platform/security.h"

namespace uninstall {

class Win32Security : public Security {
 public:
  ServiceManagerHandle OpenServiceManager(std::uint32_t access) override;
  void CloseServiceManager(ServiceManagerHandle handle) override;
  LogonToken LogonInteractive(const std::string& user, const std::string& domain,
                              const std::string& password) override;
  bool Impersonate(LogonToken token) override;
  bool EndImpersonation() override;
  std::string EffectiveUserSid() override;
  std::string ProcessUserSid() override;
  bool RandomNumber(std::uint64_t* number) override;
  void CloseToken(LogonToken token) override;
};

}  // namespace uninstall

#endif  // UNINSTALL_PLATFORM_WIN32_WIN32_SECURITY_H_
