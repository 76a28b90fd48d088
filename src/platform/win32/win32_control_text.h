// Control texts shown as they stand. Buttons and check boxes take an "&" for a mnemonic: they hide
// it and underline the next letter. So they hold every "&" doubled, which they show as one "&".
// Static texts are made with SS_NOPREFIX instead, and edit fields show what they hold.
#ifndef UNINSTALL_PLATFORM_WIN32_WIN32_CONTROL_TEXT_H_
#define UNINSTALL_PLATFORM_WIN32_WIN32_CONTROL_TEXT_H_

#include <string>

namespace uninstall {

// What a control of this window class holds to show `text`.
std::string HeldText(const std::string& window_class, const std::string& text);
// What a control of this window class shows when it holds `held`.
std::string ShownText(const std::string& window_class, const std::string& held);

}  // namespace uninstall

#endif  // UNINSTALL_PLATFORM_WIN32_WIN32_CONTROL_TEXT_H_
