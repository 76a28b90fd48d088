#include "platform/win32/win32_script_engine.h"

#include <windows.h>

#include <vector>

namespace uninstall {
namespace {

const CLSID kScriptControlClass = {
    0x0E59F1D5, 0x1FBE, 0x11D0, {0x8F, 0xF2, 0x00, 0xA0, 0xD1, 0x00, 0x38, 0xBC}};
const IID kScriptControlInterface = {
    0x0E59F1D3, 0x1FBE, 0x11D0, {0x8F, 0xF2, 0x00, 0xA0, 0xD1, 0x00, 0x38, 0xBC}};

// ANSI text to a new BSTR, through the ANSI code page, terminator included.
BSTR ToBstr(const std::string& text) {
  int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::vector<wchar_t> wide(length > 0 ? length : 1, L'\0');
  if (length > 0) MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
  return SysAllocString(wide.data());
}

void Call(void* control, const wchar_t* name, WORD flags, VARIANT* argument) {
  if (control == nullptr) return;
  auto* dispatch = static_cast<IDispatch*>(control);
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  DISPID id = 0;
  if (FAILED(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return;
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS params = {argument, nullptr, argument != nullptr ? 1u : 0u, 0};
  if (flags == DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &put;
    params.cNamedArgs = 1;
  }
  VARIANT result;
  VariantInit(&result);
  EXCEPINFO exception = {};
  UINT bad_argument = 0;
  dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &result, &exception,
                   &bad_argument);
  VariantClear(&result);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
}

void CallWithText(void* control, const wchar_t* name, WORD flags, const std::string& text) {
  VARIANT argument;
  VariantInit(&argument);
  argument.vt = VT_BSTR;
  argument.bstrVal = ToBstr(text);
  Call(control, name, flags, &argument);
  VariantClear(&argument);
}

}  // namespace

bool Win32ScriptEngine::Create() {
  com_initialized_ = SUCCEEDED(CoInitialize(nullptr));
  void* control = nullptr;
  if (FAILED(CoCreateInstance(kScriptControlClass, nullptr, CLSCTX_INPROC_SERVER,
                              kScriptControlInterface, &control))) {
    return false;
  }
  control_ = control;
  return true;
}

void Win32ScriptEngine::Reset() { Call(control_, L"Reset", DISPATCH_METHOD, nullptr); }

void Win32ScriptEngine::SetLanguage(const std::string& language) {
  CallWithText(control_, L"Language", DISPATCH_PROPERTYPUT, language);
}

void Win32ScriptEngine::SetAllowUi(bool allow) {
  VARIANT argument;
  VariantInit(&argument);
  argument.vt = VT_BOOL;
  argument.boolVal = allow ? VARIANT_TRUE : VARIANT_FALSE;
  Call(control_, L"AllowUI", DISPATCH_PROPERTYPUT, &argument);
}

void Win32ScriptEngine::SetTimeout(std::int32_t milliseconds) {
  VARIANT argument;
  VariantInit(&argument);
  argument.vt = VT_I4;
  argument.lVal = milliseconds;
  Call(control_, L"Timeout", DISPATCH_PROPERTYPUT, &argument);
}

void Win32ScriptEngine::AddCode(const std::string& code) {
  CallWithText(control_, L"AddCode", DISPATCH_METHOD, code);
}

void Win32ScriptEngine::Release() {
  if (control_ != nullptr) static_cast<IDispatch*>(control_)->Release();
  control_ = nullptr;
  if (com_initialized_) CoUninitialize();
  com_initialized_ = false;
}

}  // namespace uninstall
