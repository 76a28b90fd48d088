// Scripted security: whether the rights test passes, which logons succeed.
#ifndef UNINSTALL_TESTS_FAKES_FAKE_SECURITY_H_
#define UNINSTALL_TESTS_FAKES_FAKE_SECURITY_H_

#include <cstdint>
#include <string>
#include <vector>

#include "fakes/call_log.h"
#include "fakes/handle_text.h"
#include "platform/security.h"

namespace uninstall {

class FakeSecurity : public Security {
 public:
  explicit FakeSecurity(CallLog* log) : log_(log) {}

  bool has_rights = true;
  std::string accepted_user = "admin";
  std::string accepted_password = "secret";
  // The process's own user, and the administrator the logon impersonates.
  std::string user_sid = "S-1-5-21-1-2-3-1001";
  std::string logged_on_sid = "S-1-5-21-1-2-3-500";
  // What the generator gives, one number a call; none once they are used up.
  std::vector<std::uint64_t> random_numbers = {0x0123456789ABCDEFu, 0xFEDCBA9876543210u};

  ServiceManagerHandle OpenServiceManager(std::uint32_t access) override {
    if (log_->Add("OpenServiceManager " + std::to_string(access))) return {};
    return has_rights ? ServiceManagerHandle(11) : ServiceManagerHandle();
  }
  void CloseServiceManager(ServiceManagerHandle handle) override {
    log_->Add("CloseServiceManager " + HandleText(handle));
  }
  LogonToken LogonInteractive(const std::string& user, const std::string& domain,
                              const std::string& password) override {
    if (log_->Add("LogonInteractive " + user + " " + domain + " " + password)) return {};
    return user == accepted_user && password == accepted_password ? LogonToken(77) : LogonToken();
  }
  bool Impersonate(LogonToken token) override {
    if (log_->Add("Impersonate " + HandleText(token))) return false;
    impersonating_ = token.valid();
    return token.valid();
  }
  bool EndImpersonation() override {
    if (log_->Add("EndImpersonation")) return false;
    impersonating_ = false;
    return true;
  }
  void CloseToken(LogonToken token) override { log_->Add("CloseToken " + HandleText(token)); }
  std::string EffectiveUserSid() override {
    if (log_->Add("EffectiveUserSid")) return "";
    return impersonating_ ? logged_on_sid : user_sid;
  }
  std::string ProcessUserSid() override {
    if (log_->Add("ProcessUserSid")) return "";
    return user_sid;
  }
  bool RandomNumber(std::uint64_t* number) override {
    if (log_->Add("RandomNumber") || next_random_ >= random_numbers.size()) return false;
    *number = random_numbers[next_random_++];
    return true;
  }

 private:
  CallLog* log_;
  bool impersonating_ = false;
  std::size_t next_random_ = 0;
};

}  // namespace uninstall

#endif  // UNINSTALL_TESTS_FAKES_FAKE_SECURITY_H_
