// The security calls of a plan: the administrator rights test reads the system, but the plan
// goes on as if the rights were there, the logon the real run would ask for having succeeded.
// Nobody is logged on and nothing is impersonated. The script engine of a plan never runs: the
// planned script is written to the plan by the processes.
#ifndef UNINSTALL_PLAN_PLAN_SECURITY_H_
#define UNINSTALL_PLAN_PLAN_SECURITY_H_

#include "platform/script_engine.h"
#include "platform/security.h"

namespace uninstall {

class PlanSecurity : public Security {
 public:
  explicit PlanSecurity(Security& system) : system_(system) {}

  // The rights were missing when they were asked for: the plan assumed a logon.
  bool logon_assumed() const { return logon_assumed_; }

  ServiceManagerHandle OpenServiceManager(std::uint32_t access) override {
    const ServiceManagerHandle manager = system_.OpenServiceManager(access);
    if (manager.valid()) {
      system_.CloseServiceManager(manager);
    } else {
      logon_assumed_ = true;
    }
    return ServiceManagerHandle(1);
  }
  void CloseServiceManager(ServiceManagerHandle) override {}
  LogonToken LogonInteractive(const std::string&, const std::string&, const std::string&) override {
    return {};
  }
  bool Impersonate(LogonToken) override { return false; }
  bool EndImpersonation() override { return true; }
  void CloseToken(LogonToken) override {}
  std::string EffectiveUserSid() override { return system_.EffectiveUserSid(); }
  std::string ProcessUserSid() override { return system_.ProcessUserSid(); }
  bool RandomNumber(std::uint64_t* number) override { return system_.RandomNumber(number); }

 private:
  Security& system_;
  bool logon_assumed_ = false;
};

class PlanScriptEngine : public ScriptEngine {
 public:
  bool Create() override { return false; }
  void Reset() override {}
  void SetLanguage(const std::string&) override {}
  void SetAllowUi(bool) override {}
  void SetTimeout(std::int32_t) override {}
  void AddCode(const std::string&) override {}
  void Release() override {}
};

}  // namespace uninstall

#endif  // UNINSTALL_PLAN_PLAN_SECURITY_H_
