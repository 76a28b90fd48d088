// The window toolkit over the real Win32 API, under an X server: windows built from the sample
// descriptions and read back with plain Win32 calls; the events; the pump that keeps a busy
// window answering without reading input; Tab.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "gtest/gtest.h"
#include "platform/win32/win32_window_toolkit.h"
#include "ui/control_ids.h"
#include "ui/window_scale.h"
#include "win32/sample_windows.h"

namespace uninstall {

// For readable failures; found by argument-dependent lookup.
void PrintTo(const WindowEvent& event, std::ostream* out) {
  *out << "{kind " << static_cast<int>(event.kind) << ", control " << event.control << ", window "
       << event.window << "}";
}

namespace {

using Kind = WindowEvent::Kind;
using enum ControlKind;

BOOL CALLBACK Collect(HWND window, LPARAM windows) {
  reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  return TRUE;
}

// A descendant of `top` by control id (0 finds the control without a number).
HWND Control(HWND top, int id) {
  std::vector<HWND> all;
  EnumChildWindows(top, Collect, reinterpret_cast<LPARAM>(&all));
  for (HWND child : all) {
    if (GetDlgCtrlID(child) == id) return child;
  }
  return nullptr;
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  return std::string(name, GetClassNameA(window, name, sizeof(name)));
}

// What a control shows of the text it holds, and the letters it underlines: buttons and statics
// without SS_NOPREFIX draw "&&" as "&" and "&x" as an underlined x, a mnemonic.
struct Shown {
  std::string text;
  std::string underlined;
};
Shown ShownBy(HWND control) {
  char held[256] = {};
  GetWindowTextA(control, held, sizeof(held));
  const bool prefixes =
      ClassOf(control) == "Button" ||
      (ClassOf(control) == "Static" && !(GetWindowLongA(control, GWL_STYLE) & SS_NOPREFIX));
  if (!prefixes) return {held, ""};
  Shown shown;
  for (std::size_t i = 0; held[i] != '\0'; ++i) {
    if (held[i] == '&' && held[i + 1] != '\0' && held[++i] != '&') shown.underlined += held[i];
    shown.text += held[i];
  }
  return shown;
}

// Texts a translation may give, with an "&" that means itself.
MainWindowTexts AmpersandTexts() {
  MainWindowTexts texts = SampleTexts();
  texts.title = " Sample & Co";
  texts.info = "Remove &this program:";
  texts.delete_all = " Alles &loeschen";
  texts.ok = "O&K";
  texts.cancel = "&Abbrechen";
  texts.ready = "&Fertig";
  return texts;
}

// Presses the keys in order and lets them go in reverse, as a hand on the keyboard would.
void Type(const std::vector<WORD>& chord) {
  std::vector<INPUT> inputs;
  for (WORD key : chord) inputs.push_back({INPUT_KEYBOARD, {.ki = {key, 0, 0, 0, 0}}});
  for (auto key = chord.rbegin(); key != chord.rend(); ++key) {
    inputs.push_back({INPUT_KEYBOARD, {.ki = {*key, 0, KEYEVENTF_KEYUP, 0, 0}}});
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Once: a close request. A timer fires only when no input is waiting, so it comes after the keys
// typed before it are handled.
VOID CALLBACK RequestClose(HWND window, UINT, UINT_PTR timer, DWORD) {
  KillTimer(window, timer);
  PostMessageA(window, WM_CLOSE, 0, 0);
}

// Per kind: the class, style bits under a mask, whether it has a text and font, and how much
// wider the system makes it (it puts a static edge around an etched line).
struct Expected {
  const char* class_name;
  LONG mask, style;
  bool text_and_font;
  int added_width;
};
constexpr LONG kEditBits = ES_PASSWORD | ES_AUTOHSCROLL | ES_MULTILINE | WS_TABSTOP;
constexpr LONG kButtonBits = BS_TYPEMASK | BS_MULTILINE | WS_TABSTOP;
const std::map<ControlKind, Expected> kExpected = {
    {kPanel, {"UninstallPanel", WS_TABSTOP, 0, false, 0}},
    {kText, {"Static", SS_TYPEMASK | SS_NOPREFIX | WS_TABSTOP, SS_LEFT | SS_NOPREFIX, true, 0}},
    {kRightText,
     {"Static", SS_TYPEMASK | SS_NOPREFIX | WS_TABSTOP, SS_RIGHT | SS_NOPREFIX, true, 0}},
    {kIcon, {"Static", SS_TYPEMASK, SS_ICON, false, 0}},
    {kCheckBox, {"Button", kButtonBits, BS_AUTOCHECKBOX | WS_TABSTOP, true, 0}},
    {kButton, {"Button", kButtonBits, BS_PUSHBUTTON | WS_TABSTOP, true, 0}},
    {kEtchedLine, {"Static", SS_TYPEMASK, SS_ETCHEDHORZ, false, 2}},
    {kEdit, {"Edit", kEditBits, ES_AUTOHSCROLL | WS_TABSTOP, true, 0}},
    {kPasswordEdit, {"Edit", kEditBits, ES_PASSWORD | ES_AUTOHSCROLL | WS_TABSTOP, true, 0}},
    {kFrame, {"Static", SS_TYPEMASK, SS_ETCHEDFRAME, false, 0}},
    {kProgressBar, {PROGRESS_CLASSA, PBS_SMOOTH | PBS_VERTICAL, PBS_SMOOTH, false, 0}},
};

void ExpectControlAsDescribed(HWND top, const ControlSpec& control, int dpi) {
  HWND found = Control(top, control.number);
  ASSERT_NE(found, nullptr);
  const Expected& expected = kExpected.at(control.kind);
  EXPECT_EQ(ClassOf(found), expected.class_name);
  const LONG style = GetWindowLongA(found, GWL_STYLE);
  EXPECT_EQ(style & expected.mask, expected.style);
  EXPECT_EQ((style & WS_VISIBLE) != 0, control.visible);
  EXPECT_TRUE(IsWindowEnabled(found));
  HWND parent = control.parent == 0 ? top : Control(top, control.parent);
  EXPECT_EQ(GetParent(found), parent);
  RECT at;
  GetWindowRect(found, &at);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&at), 2);
  EXPECT_EQ(std::vector<LONG>({at.left, at.top, at.right - at.left, at.bottom - at.top}),
            std::vector<LONG>(
                {control.x, control.y, control.width + expected.added_width, control.height}));
  if (!expected.text_and_font) return;
  const Shown shown = ShownBy(found);
  EXPECT_EQ(shown.text, control.text);
  EXPECT_EQ(shown.underlined, "");
  HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(found, WM_GETFONT, 0, 0));
  LOGFONTA made = {};
  ASSERT_EQ(GetObjectA(font, sizeof(made), &made), static_cast<int>(sizeof(made)));
  if (control.font.face.empty()) {
    // The system's font for dialog controls: the stock one, made again at another DPI.
    HDC screen = GetDC(nullptr);
    const int system_dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (dpi == system_dpi) {
      EXPECT_EQ(font, GetStockObject(DEFAULT_GUI_FONT));
    }
    LOGFONTA stock = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(stock), &stock);
    EXPECT_STREQ(made.lfFaceName, stock.lfFaceName);
    EXPECT_EQ(made.lfHeight, MulDiv(stock.lfHeight, dpi, system_dpi));
    return;
  }
  EXPECT_STREQ(made.lfFaceName, control.font.face.c_str());
  EXPECT_EQ(made.lfHeight, -MulDiv(control.font.points, dpi, 72));
  EXPECT_EQ(made.lfWeight, control.font.bold ? 700 : 400);
  EXPECT_FALSE(made.lfItalic || made.lfUnderline || made.lfStrikeOut);
}

class WindowToolkitTest : public ::testing::Test {
 protected:
  void SetUp() override { toolkit_.LoadProgramIcon(); }

  HWND Open(const WindowSpec& description) {
    EXPECT_TRUE(toolkit_.OpenWindow(description));
    return FindWindowA(nullptr, description.title.c_str());
  }

  Win32WindowToolkit toolkit_;
};

TEST_F(WindowToolkitTest, BuildsTheWindowsAsDescribed) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  for (const WindowSpec& description :
       {MainWindowSpec(SampleTexts()), LogonDialogSpec(SampleLogonTexts()),
        MainWindowSpec(AmpersandTexts())}) {
    SCOPED_TRACE("window" + description.title);
    HWND top = Open(description);
    ASSERT_NE(top, nullptr);
    for (const ControlSpec& control : description.controls) {
      SCOPED_TRACE("control " + std::to_string(control.number));
      ExpectControlAsDescribed(top, control, dpi);
    }
    EXPECT_TRUE(IsWindowVisible(top));
    EXPECT_EQ(GetWindowLongA(top, GWL_STYLE) &
                  (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
              WS_CAPTION | (description.close_box ? WS_SYSMENU : 0));
    RECT client, frame;
    GetClientRect(top, &client);
    EXPECT_EQ(client.right, description.client_width);
    EXPECT_EQ(client.bottom, description.client_height);
    GetWindowRect(top, &frame);
    EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2);
    EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2);
    EXPECT_EQ(Control(top, kStatusBarControlId) != nullptr, description.status_bar_field_right > 0);
  }
  toolkit_.CloseWindow(kMainWindow);
  EXPECT_EQ(FindWindowA(nullptr, SampleTexts().title.c_str()), nullptr);
}

// Moved to a display of another scale, the window is laid out again: every control at its place
// and size at that DPI, in fonts made for it, the status bar's field to the new width, and the
// window where the system suggests.
TEST_F(WindowToolkitTest, ADisplayOfAnotherScaleLaysTheWindowOutAgain) {
  for (const WindowSpec& description :
       {MainWindowSpec(SampleTexts()), LogonDialogSpec(SampleLogonTexts())}) {
    HWND top = Open(description);
    ASSERT_NE(top, nullptr);
    for (const int dpi : {192, 144, 96}) {
      SCOPED_TRACE(description.title + " at " + std::to_string(dpi));
      RECT suggested = {10, 20, 10 + 4 * dpi, 20 + 2 * dpi};
      SendMessageA(top, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
      RECT frame = {};
      GetWindowRect(top, &frame);
      EXPECT_EQ(
          std::vector<LONG>({frame.left, frame.top, frame.right, frame.bottom}),
          std::vector<LONG>({suggested.left, suggested.top, suggested.right, suggested.bottom}));
      const WindowSpec scaled = ScaledWindow(description, dpi);
      for (const ControlSpec& control : scaled.controls) {
        SCOPED_TRACE("control " + std::to_string(control.number));
        if (control.number != 0) ExpectControlAsDescribed(top, control, dpi);
      }
      int edges[4] = {};
      SendMessageA(Control(top, kStatusBarControlId), SB_GETPARTS, 4,
                   reinterpret_cast<LPARAM>(edges));
      EXPECT_EQ(edges[0], scaled.status_bar_field_right);
    }
    toolkit_.CloseWindow(description.number);
  }
}

// The progress bar takes the position and range it is given, whatever the taskbar button's state
// (which a system without a taskbar list leaves alone).
TEST_F(WindowToolkitTest, ProgressBarShowsThePositionGiven) {
  HWND top = Open(MainWindowSpec(SampleTexts()));
  HWND bar = Control(top, kRemovalProgressBar);
  ASSERT_NE(bar, nullptr);
  using State = WindowToolkit::TaskbarState;
  for (const State state : {State::kNormal, State::kError, State::kNone}) {
    toolkit_.SetTaskbarState(kRemovalProgressBar, state);
    toolkit_.SetProgress(kRemovalProgressBar, 2500 + static_cast<int>(state), 10000);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 2500 + static_cast<int>(state));
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 10000);
  }
}

TEST_F(WindowToolkitTest, HeaderIsWhiteAndStatusBarHasOneField) {
  HWND top = Open(MainWindowSpec(SampleTexts()));
  EXPECT_NE(SendMessageA(Control(top, kHeaderIcon), STM_GETICON, 0, 0), 0) << "no icon";
  // What the panel answers is what its static texts are drawn on.
  HDC dc = CreateCompatibleDC(nullptr);
  LOGBRUSH brush = {};
  GetObjectA(reinterpret_cast<HGDIOBJ>(SendMessageA(
                 Control(top, kHeaderPanel), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(Control(top, kHeaderTitleText)))),
             sizeof(brush), &brush);
  EXPECT_EQ(brush.lbColor, RGB(255, 255, 255));
  EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
  DeleteDC(dc);

  HWND bar = Control(top, kStatusBarControlId);
  ASSERT_EQ(ClassOf(bar), STATUSCLASSNAMEA);
  EXPECT_EQ(GetWindowLongA(bar, GWL_STYLE) & SBARS_SIZEGRIP, 0);
  int edges[4] = {};
  EXPECT_EQ(SendMessageA(bar, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 1);
  EXPECT_EQ(edges[0], MainWindowSpec(SampleTexts()).status_bar_field_right);
  toolkit_.SetStatusText("  C:\\Sample\\readme.txt");
  char text[64] = {};
  SendMessageA(bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "  C:\\Sample\\readme.txt");
}

// Each row posts one message, then a click on Cancel as a mark: NextEvent must give the row's
// event, if any, and then the mark, so that a message that gives nothing is seen to.
TEST_F(WindowToolkitTest, PostedMessagesBecomeEventsInOrder) {
  const struct {
    const char* name;
    int control;  // 0: the window itself
    UINT message;
    WPARAM wparam;
    std::vector<WindowEvent> events;
  } rows[] = {
      {"click on OK", kOkButton, BM_CLICK, 0, {{Kind::kControl, kOkButton, kMainWindow}}},
      {"click on the check box",
       kDeleteAllCheckBox,
       BM_CLICK,
       0,
       {{Kind::kControl, kDeleteAllCheckBox, kMainWindow}}},
      {"close request", 0, WM_CLOSE, 0, {{Kind::kCloseRequest, 0, kMainWindow}}},
      {"IDOK without a control", 0, WM_COMMAND, IDOK, {}},
      {"Enter on a button", kOkButton, WM_KEYDOWN, VK_RETURN, {}},
      {"Escape on a button", kOkButton, WM_KEYDOWN, VK_ESCAPE, {}},
  };
  HWND top = Open(MainWindowSpec(SampleTexts()));
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    HWND target = row.control == 0 ? top : Control(top, row.control);
    if (row.message == WM_KEYDOWN) SetFocus(target);
    PostMessageA(target, row.message, row.wparam, 0);
    PostMessageA(Control(top, kCancelButton), BM_CLICK, 0, 0);
    std::vector<WindowEvent> events = row.events;
    events.push_back({Kind::kControl, kCancelButton, kMainWindow});
    for (const WindowEvent& event : events) EXPECT_EQ(toolkit_.NextEvent(), event);
  }
  EXPECT_TRUE(IsWindow(top)) << "closed by the toolkit";
  EXPECT_TRUE(toolkit_.IsChecked(kDeleteAllCheckBox));
}

TEST_F(WindowToolkitTest, EditFieldReportsItsChangeOnceAndHoldsItsText) {
  HWND top = Open(LogonDialogSpec(SampleLogonTexts()));
  // The keyboard starts in the user field: its focus event comes first.
  EXPECT_EQ(toolkit_.NextEvent(), (WindowEvent{Kind::kControl, kUserField, kLogonDialog}));
  toolkit_.SetControlText(kUserField, "Administrator");
  PostMessageA(top, WM_CLOSE, 0, 0);
  EXPECT_EQ(toolkit_.NextEvent(), (WindowEvent{Kind::kControl, kUserField, kLogonDialog}));
  EXPECT_EQ(toolkit_.NextEvent(), (WindowEvent{Kind::kCloseRequest, 0, kLogonDialog}));
  EXPECT_EQ(toolkit_.ControlText(kUserField), "Administrator");
}

TEST_F(WindowToolkitTest, EndedQueueIsReportedEveryTimeWithoutReadingOn) {
  HWND top = Open(MainWindowSpec(SampleTexts()));
  PostQuitMessage(0);
  EXPECT_EQ(toolkit_.NextEvent().kind, Kind::kQueueEnded);
  PostMessageA(Control(top, kOkButton), BM_CLICK, 0, 0);
  EXPECT_EQ(toolkit_.NextEvent().kind, Kind::kQueueEnded);
}

// While only the pump runs, another thread's SendMessageTimeout is answered and the window is
// painted, but a click posted before stays queued for NextEvent.
TEST_F(WindowToolkitTest, PumpAnswersAndPaintsButReadsNoInput) {
  HWND top = Open(MainWindowSpec(SampleTexts()));
  HWND ok = Control(top, kOkButton);
  PostMessageA(ok, BM_CLICK, 0, 0);
  InvalidateRect(top, nullptr, TRUE);
  std::atomic<bool> answered = false;
  std::thread other([&] {
    DWORD_PTR length = 0;
    answered = SendMessageTimeoutA(top, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 1000, &length) &&
               length == SampleTexts().title.size();
  });
  for (const DWORD start = GetTickCount(); GetTickCount() - start < 1200; Sleep(10)) {
    toolkit_.HandlePaintAndSentMessages();
  }
  other.join();
  EXPECT_TRUE(answered);
  EXPECT_FALSE(GetUpdateRect(top, nullptr, FALSE)) << "not painted";
  MSG message;
  EXPECT_TRUE(PeekMessageA(&message, ok, BM_CLICK, BM_CLICK, PM_NOREMOVE)) << "click taken";
  EXPECT_EQ(toolkit_.NextEvent(), (WindowEvent{Kind::kControl, kOkButton, kMainWindow}));
}

TEST_F(WindowToolkitTest, TabMovesAmongVisibleControlsInOrder) {
  const struct {
    int from;
    bool working;  // OK and Cancel hidden, Ready shown
    int to;
  } rows[] = {
      {kDeleteAllCheckBox, false, kOkButton},
      {kCancelButton, false, kDeleteAllCheckBox},  // past the hidden Ready, round to the first
      {kDeleteAllCheckBox, true, kReadyButton},
  };
  HWND top = Open(MainWindowSpec(SampleTexts()));
  EXPECT_EQ(GetDlgCtrlID(GetFocus()), kDeleteAllCheckBox);  // where the keyboard starts
  for (const auto& row : rows) {
    SCOPED_TRACE("from " + std::to_string(row.from));
    const Visible buttons = row.working ? Visible::kNo : Visible::kYes;
    toolkit_.ShowControl(kOkButton, buttons);
    toolkit_.ShowControl(kCancelButton, buttons);
    toolkit_.ShowControl(kReadyButton, row.working ? Visible::kYes : Visible::kNo);
    SetFocus(Control(top, row.from));
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    PostMessageA(top, WM_CLOSE, 0, 0);
    EXPECT_EQ(toolkit_.NextEvent().kind, Kind::kCloseRequest);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), row.to);
  }
}

// Real keystrokes, each row ended by the space bar, which presses the control that has the focus
// by then: that control's click must be the row's only event. Only Tab and Shift+Tab move the
// focus, and no letter presses the button whose text has it after an "&".
TEST_F(WindowToolkitTest, KeyboardMovesTheFocusOnlyWithTab) {
  const struct {
    const char* name;
    int from;
    std::vector<std::vector<WORD>> typed;
    int pressed;
  } rows[] = {
      {"the letter after Cancel's &", kOkButton, {{'A'}}, kOkButton},
      {"Alt and that letter", kOkButton, {{VK_MENU, 'A'}}, kOkButton},
      {"the letter after the other program's &", kDeleteAllCheckBox, {{'Z'}}, kDeleteAllCheckBox},
      {"Down and Right", kDeleteAllCheckBox, {{VK_DOWN}, {VK_RIGHT}}, kDeleteAllCheckBox},
      {"Up and Left", kOkButton, {{VK_UP}, {VK_LEFT}}, kOkButton},
      {"Enter and Escape", kOkButton, {{VK_RETURN}, {VK_ESCAPE}}, kOkButton},
      {"Tab", kDeleteAllCheckBox, {{VK_TAB}}, kOkButton},
      {"Shift+Tab", kOkButton, {{VK_SHIFT, VK_TAB}}, kDeleteAllCheckBox},
  };
  HWND top = Open(MainWindowSpec(AmpersandTexts()));
  // A text another program sets: only the message loop keeps its mnemonic off the keyboard.
  SetWindowTextA(Control(top, kOkButton), "&Zu");
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    SetFocus(Control(top, row.from));
    for (const std::vector<WORD>& chord : row.typed) Type(chord);
    Type({VK_SPACE});
    SetTimer(top, 1, 100, RequestClose);
    std::vector<int> pressed;
    for (WindowEvent event; (event = toolkit_.NextEvent()).kind == Kind::kControl;) {
      pressed.push_back(event.control);
    }
    EXPECT_EQ(pressed, std::vector<int>{row.pressed});
  }
  EXPECT_EQ(toolkit_.ControlText(kCancelButton), "&Abbrechen");
}

}  // namespace
}  // namespace uninstall
