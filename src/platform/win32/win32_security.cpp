#include "platform/win32/win32_security.h"

#include <windows.h>

#include "platform/win32/win32_handles.h"
// After windows.h, which it needs.
#include <sddl.h>
// RtlGenRandom, exported by advapi32 as SystemFunction036.
#include <ntsecapi.h>

#include <vector>

namespace uninstall {

ServiceManagerHandle Win32Security::OpenServiceManager(std::uint32_t access) {
  return FromSystem(OpenSCManagerA(nullptr, nullptr, access));
}

void Win32Security::CloseServiceManager(ServiceManagerHandle handle) {
  CloseServiceHandle(ToSystem<SC_HANDLE>(handle));
}

LogonToken Win32Security::LogonInteractive(const std::string& user, const std::string& domain,
                                           const std::string& password) {
  HANDLE token = nullptr;
  if (!LogonUserA(user.c_str(), domain.c_str(), password.c_str(), LOGON32_LOGON_INTERACTIVE,
                  LOGON32_PROVIDER_DEFAULT, &token)) {
    return {};
  }
  return FromSystem(token);
}

bool Win32Security::Impersonate(LogonToken token) {
  return ImpersonateLoggedOnUser(ToSystem(token)) != FALSE;
}

bool Win32Security::EndImpersonation() { return RevertToSelf() != FALSE; }

void Win32Security::CloseToken(LogonToken token) { CloseHandle(ToSystem(token)); }

namespace {

// The user of a token as a string SID; "" when it cannot be read. The token is closed.
std::string UserSidOf(HANDLE token) {
  std::string sid_text;
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<BYTE> buffer(size > 0 ? size : 1);
  if (size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
    char* text = nullptr;
    if (ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) {
      sid_text = text;
      LocalFree(text);
    }
  }
  CloseHandle(token);
  return sid_text;
}

}  // namespace

std::string Win32Security::EffectiveUserSid() {
  HANDLE token = nullptr;
  if (!OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token) &&
      !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
    return "";
  }
  return UserSidOf(token);
}

std::string Win32Security::ProcessUserSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return "";
  return UserSidOf(token);
}

bool Win32Security::RandomNumber(std::uint64_t* number) {
  return RtlGenRandom(number, sizeof(*number)) != FALSE;
}

}  // namespace uninstall
