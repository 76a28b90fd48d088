// Security calls: the administrator rights test, logon and impersonation.
#ifndef UNINSTALL_PLATFORM_SECURITY_H_
#define UNINSTALL_PLATFORM_SECURITY_H_

#include <cstdint>
#include <string>

#include "platform/handle.h"

namespace uninstall {

using ServiceManagerHandle = Handle<struct ServiceManagerKind>;
using LogonToken = Handle<struct LogonKind>;  // empty: no logon

class Security {
 public:
  virtual ~Security() = default;

  // OpenSCManagerA on the local machine's active database with the given access.
  virtual ServiceManagerHandle OpenServiceManager(std::uint32_t access) = 0;
  // CloseServiceHandle.
  virtual void CloseServiceManager(ServiceManagerHandle handle) = 0;
  // LogonUserA with an interactive logon and the default provider; 0 when refused.
  virtual LogonToken LogonInteractive(const std::string& user, const std::string& domain,
                                      const std::string& password) = 0;
  // ImpersonateLoggedOnUser on the calling thread.
  virtual bool Impersonate(LogonToken token) = 0;
  // RevertToSelf.
  virtual bool EndImpersonation() = 0;
  // CloseHandle of a token.
  virtual void CloseToken(LogonToken token) = 0;
  // The user of the calling thread's token (the impersonated one), else of the process's
  // token, as a string SID (ConvertSidToStringSidA); "" when it cannot be read.
  virtual std::string EffectiveUserSid() = 0;
  // The user of the process's own token (never the impersonated one), as a string SID; "" when
  // it cannot be read.
  virtual std::string ProcessUserSid() = 0;
  // RtlGenRandom: a number from the system's generator of unpredictable numbers. False when the
  // generator gives none.
  virtual bool RandomNumber(std::uint64_t* number) = 0;
};

}  // namespace uninstall

#endif  // UNINSTALL_PLATFORM_SECURITY_H_
