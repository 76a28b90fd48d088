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

}  // namespace uninstall

#endif  // UNINSTALL_UI_MESSAGE_BOX_H_
