// The main window: the program to be removed, the delete-all check box, the buttons and the
// status bar, laid out in client pixels.
#ifndef UNINSTALL_UI_MAIN_WINDOW_H_
#define UNINSTALL_UI_MAIN_WINDOW_H_

#include <initializer_list>
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

// The window's two stages: first OK, Cancel and the "delete all" check box; once OK is clicked,
// Ready in their place, which answers only once the removal is done. A button acts only in the
// stage in which it is shown: a click queued on OK or Cancel while the removal ran (the second
// click of a double click, say) is stale by then. Close requests and every other event are
// ignored: the window closes only through its buttons.
class MainWindow {
 public:
  explicit MainWindow(WindowToolkit& windows) : windows_(windows) {}
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Builds and shows the window in its first stage; false, with nothing shown, when it cannot be
  // created.
  bool Open(const MainWindowTexts& texts);
  // "Delete all" unticked and hidden.
  void WithoutDeleteAll();
  // Waits for the user's answer in the first stage: true for OK; false for Cancel, or when no
  // event will ever come.
  bool Confirmed();
  bool DeleteAllTicked() const;
  // The second stage, while the removal runs: Ready shows, disabled, and the progress bar, with
  // the taskbar button showing the progress too.
  void StartRemoval();
  // An error box is about to be shown: the taskbar button shows the progress as an error.
  void ShowingError();
  // The removal is done: the bar is full, the taskbar button shows nothing, Ready answers, and
  // the status bar shows `status`.
  void FinishRemoval(const std::string& status);
  // Waits for Ready: true once it is clicked; false when no event will ever come.
  bool ReadyClicked();
  void Close();

 private:
  // The next click on one of `buttons` of this window; 0 once no event will ever come.
  int NextClickOf(std::initializer_list<int> buttons);

  WindowToolkit& windows_;
};

}  // namespace uninstall

#endif  // UNINSTALL_UI_MAIN_WINDOW_H_
