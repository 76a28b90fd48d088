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
  std::string user_sid = "S-1-5-21-1-2-3-1001";

  ServiceManagerHandle OpenServiceManager(std::uint32_t access) override {
    if (log_->Add("OpenServiceManager " + std::to_string(access))) return 0;
    return has_rights ? 11 : 0;
  }
  void CloseServiceManager(ServiceManagerHandle handle) override {
    log_->Add("CloseServiceManager " + std::to_string(handle));
  }
  LogonToken LogonInteractive(const std::string& user, const std::string& domain,
                              const std::string& password) override {
    if (log_->Add("LogonInteractive " + user + " " + domain + " " + password)) return 0;
    return user == accepted_user && password == accepted_password ? 77 : 0;
  }
  bool Impersonate(LogonToken token) override {
    if (log_->Add("Impersonate " + std::to_string(token))) return false;
    return token != 0;
  }
  bool EndImpersonation() override { return !log_->Add("EndImpersonation"); }
  void CloseToken(LogonToken token) override { log_->Add("CloseToken " + std::to_string(token)); }
  std::string EffectiveUserSid() override {
    if (log_->Add("EffectiveUserSid")) return "";
    return user_sid;
  }

 private:
  CallLog* log_;
};

}  // namespace uninstall

#endif  // UNINSTALL_TESTS_FAKES_FAKE_SECURITY_H_
