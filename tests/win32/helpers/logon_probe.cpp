// logon_probe: shows the logon dialog with its English texts, as the uninstaller does, against a
// security layer that refuses every logon. Exit code 0 when the dialog ended without a logon,
// 1 with one.
#include <windows.h>

#include "platform/security.h"
#include "platform/win32/win32_window_toolkit.h"
#include "ui/logon_dialog.h"
#include "win32/sample_windows.h"

namespace {

class RefusingSecurity : public uninstall::Security {
 public:
  uninstall::ServiceManagerHandle OpenServiceManager(std::uint32_t) override { return {}; }
  void CloseServiceManager(uninstall::ServiceManagerHandle) override {}
  uninstall::LogonToken LogonInteractive(const std::string&, const std::string&,
                                         const std::string&) override {
    return {};
  }
  bool Impersonate(uninstall::LogonToken) override { return false; }
  bool EndImpersonation() override { return true; }
  void CloseToken(uninstall::LogonToken) override {}
  std::string EffectiveUserSid() override { return ""; }
  std::string ProcessUserSid() override { return ""; }
  bool RandomNumber(std::uint64_t*) override { return false; }
};

}  // namespace

int main() {
  uninstall::Win32WindowToolkit toolkit;
  toolkit.LoadProgramIcon();
  RefusingSecurity security;
  return uninstall::AskForLogon(toolkit, security, uninstall::SampleLogonTexts()).valid() ? 1 : 0;
}
