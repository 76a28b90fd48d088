// The main window: the program to be removed, the delete-all check box, the buttons and the
// status bar, laid out in client pixels.
#ifndef UNINSTALL_UI_MAIN_WINDOW_H_
#define UNINSTALL_UI_MAIN_WINDOW_H_

#include <string>

#include "platform/window_toolkit.h"

namespace uninstall {

// The texts the main window shows, taken when it opens.
struct MainWindowTexts {
  std::string title;              // " " + program name
  std::string header_title;       // Titel
  std::string header_message;     // Msg
  std::string info;               // UninstInfo
  std::string name_with_version;  // NameWithVersion
  std::string delete_all;         // " " + DelAll
  std::string ok;
  std::string cancel;
  std::string ready;
};

// Every control of the window, in creation order: the Ready button hidden in Cancel's place.
WindowSpec MainWindowSpec(const MainWindowTexts& texts);

// Builds and shows the window; false, with nothing shown, when it cannot be created.
bool OpenMainWindow(WindowToolkit& windows, const MainWindowTexts& texts);
void CloseMainWindow(WindowToolkit& windows);

}  // namespace uninstall

#endif  // UNINSTALL_UI_MAIN_WINDOW_H_
