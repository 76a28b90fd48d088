#ifndef UNINSTALL_PLATFORM_WIN32_WIN32_SCRIPT_ENGINE_H_
#define UNINSTALL_PLATFORM_WIN32_WIN32_SCRIPT_ENGINE_H_

#include "platform/script_engine.h"

namespace uninstall {

// The Script Control through COM. Its interface is dual, so the calls go through its
// IDispatch part by name, which needs no declaration of the control's own interface.
class Win32ScriptEngine : public ScriptEngine {
 public:
  bool Create() override;
  void Reset() override;
  void SetLanguage(const std::string& language) override;
  void SetAllowUi(bool allow) override;
  void SetTimeout(std::int32_t milliseconds) override;
  void AddCode(const std::string& code) override;
  void Release() override;

 private:
  void* control_ = nullptr;  // IDispatch*
  bool com_initialized_ = false;
};

}  // namespace uninstall

#endif  // UNINSTALL_PLATFORM_WIN32_WIN32_SCRIPT_ENGINE_H_
