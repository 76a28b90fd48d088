// A script engine that records what it is given.
#ifndef UNINSTALL_TESTS_FAKES_FAKE_SCRIPT_ENGINE_H_
#define UNINSTALL_TESTS_FAKES_FAKE_SCRIPT_ENGINE_H_

#include <string>

#include "fakes/call_log.h"
#include "platform/script_engine.h"

namespace uninstall {

class FakeScriptEngine : public ScriptEngine {
 public:
  explicit FakeScriptEngine(CallLog* log) : log_(log) {}

  bool can_create = true;

  bool Create() override {
    if (log_->Add("ScriptEngine.Create")) return false;
    return can_create;
  }
  void Reset() override { log_->Add("ScriptEngine.Reset"); }
  void SetLanguage(const std::string& language) override {
    log_->Add("ScriptEngine.Language " + language);
  }
  void SetAllowUi(bool allow) override {
    log_->Add(std::string("ScriptEngine.AllowUI ") + (allow ? "1" : "0"));
  }
  void SetTimeout(std::int32_t milliseconds) override {
    log_->Add("ScriptEngine.Timeout " + std::to_string(milliseconds));
  }
  void AddCode(const std::string& code) override { log_->Add("ScriptEngine.AddCode " + code); }
  void Release() override { log_->Add("ScriptEngine.Release"); }

 private:
  CallLog* log_;
};

}  // namespace uninstall

#endif  // UNINSTALL_TESTS_FAKES_FAKE_SCRIPT_ENGINE_H_
