// The window toolkit: message boxes, the status bar, the main window's controls and the
// queue of window events. Control, window and status-bar numbers are separate ranges; a
// control's number is its Win32 control identifier.
#ifndef UNINSTALL_PLATFORM_WINDOW_TOOLKIT_H_
#define UNINSTALL_PLATFORM_WINDOW_TOOLKIT_H_

#include <cstdint>
#include <string>

namespace uninstall {

// Message-box flags used by the program.
inline constexpr std::uint32_t kIconError = 16;
inline constexpr std::uint32_t kIconWarning = 48;

// Window numbers.
inline constexpr int kMainWindow = 1;
inline constexpr int kLogonDialog = 2;

// Control numbers of the main window.
inline constexpr int kHeaderPanel = 1;
inline constexpr int kHeaderTitleText = 2;
inline constexpr int kHeaderMessageText = 3;
inline constexpr int kHeaderIcon = 4;
inline constexpr int kOkButton = 5;
inline constexpr int kCancelButton = 6;
inline constexpr int kReadyButton = 7;
inline constexpr int kInfoText = 8;
inline constexpr int kProgramNameText = 9;
inline constexpr int kDeleteAllCheckBox = 10;

struct WindowEvent {
  // kQueueEnded: the program's message queue has ended (a quit message); no event follows.
  enum class Kind { kControl, kCloseRequest, kOther, kQueueEnded };
  Kind kind = Kind::kOther;
  int control = 0;
  int window = 0;
};

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

class WindowToolkit {
 public:
  virtual ~WindowToolkit() = default;

  // MessageBoxA with the given title, text and flags; the button pressed, 0 on failure.
  virtual int ShowMessageBox(const std::string& title, const std::string& text,
                             std::uint32_t flags) = 0;
  // Sets field 0 of the main window's status bar; nothing when there is no status bar.
  virtual void SetStatusText(const std::string& text) = 0;

  // Loads the program's own 32 x 32 icon (resource 1) for the main window.
  virtual void LoadProgramIcon() = 0;
  virtual void ReleaseProgramIcon() = 0;

  // Builds and shows the main window; false when the window cannot be created.
  virtual bool OpenMainWindow(const MainWindowTexts& texts) = 0;
  virtual void ShowControl(int control, bool visible) = 0;
  virtual void EnableControl(int control, bool enabled) = 0;
  virtual void SetChecked(int control, bool checked) = 0;
  virtual bool IsChecked(int control) = 0;
  // Waits without a time limit for the next event of any of the program's windows.
  virtual WindowEvent NextEvent() = 0;
  virtual void CloseMainWindow() = 0;
};

}  // namespace uninstall

#endif  // UNINSTALL_PLATFORM_WINDOW_TOOLKIT_H_
