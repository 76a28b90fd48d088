#include "platform/win32/win32_control_text.h"

#include <windows.h>

namespace uninstall {
namespace {

bool TakesMnemonics(const std::string& window_class) {
  return lstrcmpiA(window_class.c_str(), "Button") == 0;
}

}  // namespace

std::string HeldText(const std::string& window_class, const std::string& text) {
  if (!TakesMnemonics(window_class)) return text;
  std::string held;
  for (char c : text) {
    if (c == '&') held += '&';
    held += c;
  }
  return held;
}

std::string ShownText(const std::string& window_class, const std::string& held) {
  if (!TakesMnemonics(window_class)) return held;
  std::string shown;
  for (std::size_t i = 0; i < held.size(); ++i) {
    if (held[i] == '&' && i + 1 < held.size()) ++i;
    shown += held[i];
  }
  return shown;
}

}  // namespace uninstall
