// Modal message boxes that block every window of the program while they are shown.
#ifndef UNINSTALL_UI_MESSAGE_BOX_H_
#define UNINSTALL_UI_MESSAGE_BOX_H_

#include <cstdint>
#include <string>

#include "platform/window_toolkit.h"

namespace uninstall {

// Disables every visible, enabled top-level window of this thread but the foreground one, shows
// the box (owned by the foreground window when that is one of the program's), enables those
// windows again and returns the button pressed (0 when no box could be shown).
int ShowMessageBox(WindowToolkit& windows, const std::string& title, const std::string& text,
                   std::uint32_t flags);

// The same, for a box that goes by itself (kBoxClosedByEnd) once the process `running` has
// ended: a question about a program that may finish before anybody answers.
int ShowMessageBoxUntilEnded(WindowToolkit& windows, const std::string& title,
                             const std::string& text, std::uint32_t flags, ProcessHandle running);

inline constexpr std::uint32_t kYesNo = 0x04;
inline constexpr std::uint32_t kIconQuestion = 0x20;
inline constexpr int kYes = 6;

}  // namespace uninstall

#endif  // UNINSTALL_UI_MESSAGE_BOX_H_
