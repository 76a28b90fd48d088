// Scripted security: whether the rights test passes, which logons succeed.
#ifndef UNINSTALL_TESTS_FAKES_FAKE_SECURITY_H_
#define UNINSTALL_TESTS_FAKES_FAKE_SECURITY_H_

#include <string>

#include "fakes/call_log.h"
#include "platform/security.h"

namespace uninstall {

class FakeSecurity : public Security {
 public:
  explicit FakeSecurity(CallLog* log) : log_(log) {}

  bool has_rights = true;
  std::string accepted_user = "admin";
  std::string accepted_password = "secret";

  ServiceManagerHandle OpenServiceManager(std::uint32_t access) override {
    log_->Add("OpenServiceManager " + std::to_string(access));
    return has_rights ? 11 : 0;
  }
  void CloseServiceManager(ServiceManagerHandle handle) override {
    log_->Add("CloseServiceManager " + std::to_string(handle));
  }
  LogonToken LogonInteractive(const std::string& user, const std::string& domain,
                              const std::string& password) override {
    log_->Add("LogonInteractive " + user + " " + domain + " " + password);
    return user == accepted_user && password == accepted_password ? 77 : 0;
  }
  bool Impersonate(LogonToken token) override {
    log_->Add("Impersonate " + std::to_string(token));
    return token != 0;
  }
  bool EndImpersonation() override {
    log_->Add("EndImpersonation");
    return true;
  }
  void CloseToken(LogonToken token) override { log_->Add("CloseToken " + std::to_string(token)); }

 private:
  CallLog* log_;
};

}  // namespace uninstall

#endif  // UNINSTALL_TESTS_FAKES_FAKE_SECURITY_H_
