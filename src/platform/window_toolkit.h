// The window toolkit: message boxes, the status bar, windows built from a description of their
// controls, and the queue of window events. Control, window and status-bar numbers are separate
// ranges; a control's number is its Win32 control identifier, unique across all windows (the
// program's own windows number theirs in ui/control_ids.h).
#ifndef UNINSTALL_PLATFORM_WINDOW_TOOLKIT_H_
#define UNINSTALL_PLATFORM_WINDOW_TOOLKIT_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/handle.h"
#include "platform/process.h"

namespace uninstall {

// Message-box flags used by the program.
inline constexpr std::uint32_t kIconError = 16;
inline constexpr std::uint32_t kIconWarning = 48;

struct WindowEvent {
  // kQueueEnded: the program's message queue has ended (a quit message); no event follows.
  enum class Kind { kControl, kCloseRequest, kOther, kQueueEnded };
  Kind kind = Kind::kOther;
  int control = 0;
  int window = 0;

  bool operator==(const WindowEvent&) const = default;
};

enum class ControlKind {
  kPanel,         // container with a white background; static texts inside it are drawn on white
  kText,          // static text, left-aligned, words wrapped at its right edge
  kRightText,     // static text, right-aligned
  kIcon,          // the program's 32 x 32 icon (the one LoadProgramIcon loaded)
  kCheckBox,      // check box that toggles on click
  kButton,        // push button; never a default button
  kEtchedLine,    // etched horizontal line
  kEdit,          // one-line edit field with sunken border, scrolling horizontally
  kPasswordEdit,  // the same, every character shown as the system's password character
  kFrame,         // thin sunken frame without caption whose inside is not painted
  kProgressBar,   // the common controls' progress bar
};

struct FontSpec {
  std::string face;  // "" means the system's default GUI font
  int points = 0;
  bool bold = false;

  bool operator==(const FontSpec&) const = default;
};

struct ControlSpec {
  int number = 0;  // the control's identifier; 0 for a control never addressed
  ControlKind kind = ControlKind::kText;
  int parent = 0;  // 0: the window itself; else the number of a kPanel listed earlier
  int x = 0, y = 0, width = 0, height = 0;  // pixels, relative to the parent's client area
  std::string text;
  FontSpec font;  // ignored for kPanel, kIcon, kEtchedLine, kFrame
  bool visible = true;

  bool operator==(const ControlSpec&) const = default;
};

struct WindowSpec {
  int number = 0;  // kMainWindow or kLogonDialog
  std::string title;
  int client_width = 0, client_height = 0;
  bool close_box = false;  // true: title bar with system menu and close box; false: title bar only
  // > 0: a status bar along the bottom, without size grip, with one field whose right edge is at
  // this x.
  int status_bar_field_right = 0;
  std::vector<ControlSpec> controls;  // in creation (and Tab) order

  bool operator==(const WindowSpec&) const = default;
};

// What MessageBoxUntilEnded returns when the process ended before anybody answered (IDCANCEL,
// which a Yes/No box has no button for).
inline constexpr int kBoxClosedByEnd = 2;

// A top-level window of the desktop, of any program; 0 means none.
using WindowHandle = Handle<struct WindowKind>;

// What a control is set to.
enum class Visible : bool { kNo, kYes };
enum class Enabled : bool { kNo, kYes };
enum class Checked : bool { kNo, kYes };

class WindowToolkit {
 public:
  virtual ~WindowToolkit() = default;

  // Sets field 0 of the status bar of the open window that has one; nothing when there is none.
  virtual void SetStatusText(const std::string& text) = 0;
  // Sets the progress bar `control` to `position` of `range`, and the taskbar button of its
  // window with it while that shows a state (TaskbarState).
  virtual void SetProgress(int control, std::uint32_t position, std::uint32_t range) = 0;
  // What the taskbar button of the window with the progress bar `control` shows: nothing, the
  // progress (normal), or the progress as an error (while an error box is shown).
  enum class TaskbarState { kNone, kNormal, kError };
  virtual void SetTaskbarState(int control, TaskbarState state) = 0;

  // Loads the program's own 32 x 32 icon (resource 1) for the main window.
  virtual void LoadProgramIcon() = 0;
  virtual void ReleaseProgramIcon() = 0;

  // The control operations find a control by its number in every open window; an unknown
  // control changes nothing and reads as unticked.
  virtual void ShowControl(int control, Visible visible) = 0;
  virtual void EnableControl(int control, Enabled enabled) = 0;
  virtual void SetChecked(int control, Checked checked) = 0;
  virtual bool IsChecked(int control) = 0;
  // Waits without a time limit for the next event of any of the program's windows. Once the
  // message queue has ended, every call returns kQueueEnded at once.
  virtual WindowEvent NextEvent() = 0;

  // Builds the window hidden, creates the controls in order (a control that cannot be created
  // is simply missing), places the window centred on the screen and shows it. False, with
  // nothing shown, when the window itself cannot be created.
  virtual bool OpenWindow(const WindowSpec& description) = 0;
  // Destroys the window, its controls and the fonts made for it.
  virtual void CloseWindow(int window) = 0;
  // The whole text of a control (edit fields); "" when the control does not exist.
  virtual std::string ControlText(int control) = 0;
  virtual void SetControlText(int control, const std::string& text) = 0;
  // Lets the program's windows handle their paint messages and the messages other programs send
  // them, never input; returns at once when there are none.
  virtual void HandlePaintAndSentMessages() = 0;
  // A millisecond clock (GetTickCount).
  virtual std::uint32_t Milliseconds() = 0;

  // One platform call each, the parts the message-box rule is built from.
  // MessageBoxA with an owner (0: none); the button pressed, 0 on failure.
  virtual int MessageBoxWithOwner(WindowHandle owner, const std::string& text,
                                  const std::string& title, std::uint32_t flags) = 0;
  // The same box, which the program closes itself (with kBoxClosedByEnd) as soon as the process
  // `running` has ended: a thread timer looks at the process every 100 ms while the box is shown.
  virtual int MessageBoxUntilEnded(WindowHandle owner, const std::string& text,
                                   const std::string& title, std::uint32_t flags,
                                   ProcessHandle running) = 0;
  virtual std::vector<WindowHandle> TopLevelWindows() = 0;         // EnumWindows
  virtual std::uint32_t ThreadOfWindow(WindowHandle window) = 0;   // GetWindowThreadProcessId
  virtual std::uint32_t ProcessOfWindow(WindowHandle window) = 0;  // GetWindowThreadProcessId
  virtual std::uint32_t CurrentThread() = 0;                       // GetCurrentThreadId
  virtual std::uint32_t CurrentProcess() = 0;                      // GetCurrentProcessId
  virtual bool IsWindowShown(WindowHandle window) = 0;             // IsWindowVisible
  virtual bool IsWindowEnabledNow(WindowHandle window) = 0;        // IsWindowEnabled
  virtual WindowHandle Foreground() = 0;                           // GetForegroundWindow
  virtual void EnableWindowHandle(WindowHandle window, Enabled enabled) = 0;  // EnableWindow
};

}  // namespace uninstall

#endif  // UNINSTALL_PLATFORM_WINDOW_TOOLKIT_H_
