// The system's script engine (the Script Control through COM).
#ifndef UNINSTALL_PLATFORM_SCRIPT_ENGINE_H_
#define UNINSTALL_PLATFORM_SCRIPT_ENGINE_H_

#include <cstdint>
#include <string>

namespace uninstall {

class ScriptEngine {
 public:
  virtual ~ScriptEngine() = default;

  // CoInitialize(null) and CoCreateInstance of the Script Control; false when no engine came.
  virtual bool Create() = 0;
  // IScriptControl::Reset.
  virtual void Reset() = 0;
  // The Language property ("VBScript" or "JScript").
  virtual void SetLanguage(const std::string& language) = 0;
  // The AllowUI property: whether the engine may show its own dialogs.
  virtual void SetAllowUi(bool allow) = 0;
  // The Timeout property, in milliseconds.
  virtual void SetTimeout(std::int32_t milliseconds) = 0;
  // IScriptControl::AddCode: the engine parses the text and runs its top-level code.
  virtual void AddCode(const std::string& code) = 0;
  // Release of the engine (when one was created) and CoUninitialize.
  virtual void Release() = 0;
};

}  // namespace uninstall

#endif  // UNINSTALL_PLATFORM_SCRIPT_ENGINE_H_
