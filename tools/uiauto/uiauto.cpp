// uiauto: drives and reads the uninstaller's windows from a second process in the same
// session (under Wine: the same prefix), for the end-to-end tests.
//
//   uiauto wait TITLE [SECONDS]        wait for a visible top-level window, print its class
//   uiauto gone TITLE [SECONDS]        wait until no visible window has that title
//   uiauto list TITLE                  child controls, one a line:
//                                      id, class, text, visible, enabled, check (- if no button)
//   uiauto click TITLE ID              post BM_CLICK to a visible, enabled control
//   uiauto status TITLE                text of the status bar's first field
//   uiauto msgbox TITLE [SECONDS]      wait for a message box, print its text as is
//   uiauto press TITLE [BUTTON_ID]     press a message-box button (default OK), wait until
//                                      the box is gone
//   uiauto alive TITLE SECONDS [FINAL_STATUS]
//                                      for SECONDS, or until the window is gone or its status
//                                      bar shows FINAL_STATUS: every 50 ms ask the window for
//                                      an answer (WM_NULL, one second at most) and read its
//                                      status bar and progress bar; print "progress: POS of
//                                      MAX" for each new position, "status: TEXT" for each new
//                                      text and at the end "longest answer: N ms, answers:
//                                      K, status texts: M"; exit 4 when an answer took too long
//   uiauto close TITLE                 post WM_CLOSE to the window (a close request)
//   uiauto settext TITLE ID TEXT       set a control's text with WM_SETTEXT (as if typed)
//   uiauto layout TITLE                the window's screen position, client size and outer size
//                                      ("window X Y WIDTH HEIGHT OUTER_WIDTH OUTER_HEIGHT"),
//                                      then every control,
//                                      panel children included, one a line: id, class, x, y,
//                                      width, height in the window's client coordinates
//   uiauto fits TITLE                  every static text, button and check box with a text, one
//                                      a line: id, then "fits" or "cut" (its text in its font
//                                      needs more room than the control has)
//
// Titles are compared byte for byte. Every command waits up to 20 seconds for its window
// (--timeout=SECONDS before the command changes that). Exit codes: 0 done, 1 window or control
// not found in time, 2 usage, 3 control hidden or disabled, 4 the window did not answer.
// In `list` a line feed, carriage return or tab inside a text shows as \n, \r or \t, so that
// each control stays on one line; `msgbox` prints the text unchanged.

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace uninstall::uiauto {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitNotFound = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNotClickable = 3;
constexpr int kExitNoAnswer = 4;

constexpr char kDialogClass[] = "#32770";
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr DWORD kPollMilliseconds = 100;
constexpr UINT kAnswerMilliseconds = 5000;
// What counts as an answer in time for `alive`: Windows calls a window hung after 5 seconds.
constexpr UINT kAliveAnswerMilliseconds = 1000;
constexpr DWORD kAlivePollMilliseconds = 50;

std::string ClassOf(HWND window) {
  char name[256] = {};
  int length = GetClassNameA(window, name, sizeof(name));
  return std::string(name, length > 0 ? length : 0);
}

// WM_GETTEXT rather than GetWindowText: for a control of another process GetWindowText
// gives only the caption stored at creation, while WM_GETTEXT asks the control itself (the
// status bar answers with its first field).
std::optional<std::string> TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerMilliseconds,
                           &length)) {
    return std::nullopt;
  }
  // WM_GETTEXTLENGTH may overstate the length (multi-byte conversions), never understate it.
  std::vector<char> buffer(length + 2, '\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, buffer.size(),
                           reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG,
                           kAnswerMilliseconds, &copied)) {
    return std::nullopt;
  }
  return std::string(buffer.data(), std::strlen(buffer.data()));
}

// The caption of a top-level window, as the window manager knows it.
std::string TitleOf(HWND window) {
  int length = GetWindowTextLengthA(window);
  std::vector<char> buffer(length + 2, '\0');
  GetWindowTextA(window, buffer.data(), static_cast<int>(buffer.size()));
  return std::string(buffer.data(), std::strlen(buffer.data()));
}

struct TopLevelQuery {
  const std::string* title;
  bool dialogs_only;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
  auto* query = reinterpret_cast<TopLevelQuery*>(param);
  if (!IsWindowVisible(window)) return TRUE;
  if (TitleOf(window) != *query->title) return TRUE;
  if (query->dialogs_only && ClassOf(window) != kDialogClass) return TRUE;
  query->found.push_back(window);
  return TRUE;
}

// A visible top-level window with exactly this title. When several match, a window that is
// not a dialog wins, so that a message box sharing the main window's title does not hide it.
HWND FindTopLevel(const std::string& title, bool dialogs_only) {
  TopLevelQuery query{&title, dialogs_only, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&query));
  if (query.found.empty()) return nullptr;
  for (HWND window : query.found) {
    if (ClassOf(window) != kDialogClass) return window;
  }
  return query.found.front();
}

HWND WaitForTopLevel(const std::string& title, bool dialogs_only, double seconds) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
  for (;;) {
    if (HWND window = FindTopLevel(title, dialogs_only)) return window;
    if (GetTickCount64() >= deadline) return nullptr;
    Sleep(kPollMilliseconds);
  }
}

void Fail(const std::string& message) { std::fprintf(stderr, "uiauto: %s\n", message.c_str()); }

// The window, or null after saying that it could not be found.
HWND WindowOrFail(const std::string& title, double seconds) {
  HWND window = WaitForTopLevel(title, false, seconds);
  if (window == nullptr) Fail("no window titled '" + title + "'");
  return window;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}

// Every descendant, depth first in z-order (for our windows: creation order).
std::vector<HWND> ChildrenOf(HWND window) {
  std::vector<HWND> children;
  EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

HWND FindChild(HWND window, int id) {
  for (HWND child : ChildrenOf(window)) {
    if (GetDlgCtrlID(child) == id) return child;
  }
  return nullptr;
}

HWND FindChildOfClass(HWND window, const char* class_name) {
  for (HWND child : ChildrenOf(window)) {
    if (lstrcmpiA(ClassOf(child).c_str(), class_name) == 0) return child;
  }
  return nullptr;
}

std::string OneLine(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        out += c;
    }
  }
  return out;
}

void Print(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
}

bool ParseNumber(const char* text, long* value) {
  char* end = nullptr;
  *value = std::strtol(text, &end, 0);  // decimal, or 0x... for ids such as 0xFFFF
  return end != text && *end == '\0';
}

bool ParseSeconds(const char* text, double* value) {
  char* end = nullptr;
  *value = std::strtod(text, &end);
  return end != text && *end == '\0' && *value >= 0;
}

int Wait(const std::string& title, double seconds) {
  HWND window = WindowOrFail(title, seconds);
  if (window == nullptr) return kExitNotFound;
  Print(ClassOf(window));
  return kExitOk;
}

int Gone(const std::string& title, double seconds) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
  while (FindTopLevel(title, false) != nullptr) {
    if (GetTickCount64() >= deadline) {
      Fail("window titled '" + title + "' still there");
      return kExitNotFound;
    }
    Sleep(kPollMilliseconds);
  }
  return kExitOk;
}

int List(const std::string& title, double seconds) {
  HWND window = WindowOrFail(title, seconds);
  if (window == nullptr) return kExitNotFound;
  for (HWND child : ChildrenOf(window)) {
    const std::string class_name = ClassOf(child);
    std::string check = "-";
    if (lstrcmpiA(class_name.c_str(), WC_BUTTONA) == 0) {
      DWORD_PTR state = 0;
      if (SendMessageTimeoutA(child, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kAnswerMilliseconds,
                              &state)) {
        check = std::to_string(state);
      }
    }
    const std::optional<std::string> text = TextOf(child);
    Print(std::to_string(GetDlgCtrlID(child)) + "\t" + class_name + "\t" +
          OneLine(text.value_or("")) + "\t" + (IsWindowVisible(child) ? "1" : "0") + "\t" +
          (IsWindowEnabled(child) ? "1" : "0") + "\t" + check);
  }
  return kExitOk;
}

int Click(const std::string& title, int id, double seconds) {
  HWND window = WindowOrFail(title, seconds);
  if (window == nullptr) return kExitNotFound;
  HWND control = FindChild(window, id);
  if (control == nullptr) {
    Fail("no control " + std::to_string(id) + " in '" + title + "'");
    return kExitNotFound;
  }
  // A user could not click it either; refusing keeps a test from passing by accident.
  if (!IsWindowVisible(control) || !IsWindowEnabled(control)) {
    Fail("control " + std::to_string(id) + " is hidden or disabled");
    return kExitNotClickable;
  }
  PostMessageA(control, BM_CLICK, 0, 0);
  return kExitOk;
}

int Status(const std::string& title, double seconds) {
  HWND window = WindowOrFail(title, seconds);
  if (window == nullptr) return kExitNotFound;
  HWND status_bar = FindChildOfClass(window, STATUSCLASSNAMEA);
  if (status_bar == nullptr) {
    Fail("no status bar in '" + title + "'");
    return kExitNotFound;
  }
  const std::optional<std::string> text = TextOf(status_bar);
  if (!text) {
    Fail("the status bar did not answer");
    return kExitNoAnswer;
  }
  Print(*text);
  return kExitOk;
}

int MessageBoxText(const std::string& title, double seconds) {
  HWND box = WaitForTopLevel(title, true, seconds);
  if (box == nullptr) {
    Fail("no message box titled '" + title + "'");
    return kExitNotFound;
  }
  HWND text_control = FindChild(box, kMessageBoxTextId);
  if (text_control == nullptr) {
    Fail("message box without a text control");
    return kExitNotFound;
  }
  // A box shown by a thread that took no message for seconds before (a wait for a script) counts
  // as hung until its own loop takes the first one, and SMTO_ABORTIFHUNG gives up at once: asked
  // again for as long as an answer may take.
  const ULONGLONG deadline = GetTickCount64() + kAnswerMilliseconds;
  std::optional<std::string> text = TextOf(text_control);
  while (!text && GetTickCount64() < deadline) {
    Sleep(kPollMilliseconds);
    text = TextOf(text_control);
  }
  if (!text) {
    Fail("the message box did not answer");
    return kExitNoAnswer;
  }
  Print(*text);
  return kExitOk;
}

int Press(const std::string& title, int button_id, double seconds) {
  HWND box = WaitForTopLevel(title, true, seconds);
  if (box == nullptr) {
    Fail("no message box titled '" + title + "'");
    return kExitNotFound;
  }
  HWND button = FindChild(box, button_id);
  if (button == nullptr) {
    Fail("no button " + std::to_string(button_id) + " in the message box");
    return kExitNotFound;
  }
  // What the button itself sends to the box when clicked.
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(button_id, BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
  while (IsWindow(box)) {
    if (GetTickCount64() >= deadline) {
      Fail("the message box is still open");
      return kExitNotFound;
    }
    Sleep(kPollMilliseconds);
  }
  return kExitOk;
}

// Pings with SMTO_NORMAL, not SMTO_ABORTIFHUNG, so that a hang is measured rather than skipped.
int Alive(const std::string& title, double seconds, const char* final_status, double wait_seconds) {
  HWND window = WaitForTopLevel(title, false, wait_seconds);
  if (window == nullptr) {
    Fail("no window titled '" + title + "'");
    return kExitNotFound;
  }
  HWND status_bar = FindChildOfClass(window, STATUSCLASSNAMEA);
  HWND bar = FindChildOfClass(window, PROGRESS_CLASSA);
  LRESULT shown_position = -1;
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
  ULONGLONG longest = 0;
  int answers = 0;
  bool late = false;
  std::set<std::string> texts;
  while (IsWindow(window)) {
    const ULONGLONG start = GetTickCount64();
    DWORD_PTR result = 0;
    const bool answered = SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL,
                                              kAliveAnswerMilliseconds, &result) != 0;
    const ULONGLONG took = GetTickCount64() - start;
    if (!answered && !IsWindow(window)) break;
    longest = std::max(longest, took);
    if (answered) {
      ++answers;
    } else {
      late = true;
    }
    // The bars are read only from a window that has just answered, so that reading them does
    // not wait as well; the status bar first: a program that fills its progress bar before its
    // final text then shows the bar full when the text is seen.
    bool final = false;
    if (answered && status_bar != nullptr) {
      const std::optional<std::string> text = TextOf(status_bar);
      if (text && texts.insert(*text).second) Print("status: " + OneLine(*text));
      final = text && final_status != nullptr && *text == final_status;
    }
    if (answered && bar != nullptr) {
      const LRESULT position = SendMessageA(bar, PBM_GETPOS, 0, 0);
      if (position != shown_position) {
        shown_position = position;
        Print("progress: " + std::to_string(position) + " of " +
              std::to_string(SendMessageA(bar, PBM_GETRANGE, FALSE, 0)));
      }
    }
    if (final) break;
    if (GetTickCount64() >= deadline) break;
    Sleep(kAlivePollMilliseconds);
  }
  Print("longest answer: " + std::to_string(longest) + " ms, answers: " + std::to_string(answers) +
        ", status texts: " + std::to_string(texts.size()));
  return late ? kExitNoAnswer : kExitOk;
}

int Close(const std::string& title, double seconds) {
  HWND window = WindowOrFail(title, seconds);
  if (window == nullptr) return kExitNotFound;
  PostMessageA(window, WM_CLOSE, 0, 0);
  return kExitOk;
}

int SetText(const std::string& title, int id, const std::string& text, double seconds) {
  HWND window = WindowOrFail(title, seconds);
  if (window == nullptr) return kExitNotFound;
  HWND control = FindChild(window, id);
  if (control == nullptr) {
    Fail("no control " + std::to_string(id));
    return kExitNotFound;
  }
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                           SMTO_ABORTIFHUNG, kAnswerMilliseconds, &result)) {
    Fail("the control did not answer");
    return kExitNoAnswer;
  }
  return kExitOk;
}

int Layout(const std::string& title, double seconds) {
  HWND window = WindowOrFail(title, seconds);
  if (window == nullptr) return kExitNotFound;
  RECT frame = {};
  RECT client = {};
  GetWindowRect(window, &frame);
  GetClientRect(window, &client);
  Print("window\t" + std::to_string(frame.left) + "\t" + std::to_string(frame.top) + "\t" +
        std::to_string(client.right) + "\t" + std::to_string(client.bottom) + "\t" +
        std::to_string(frame.right - frame.left) + "\t" + std::to_string(frame.bottom - frame.top));
  for (HWND child : ChildrenOf(window)) {
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    Print(std::to_string(GetDlgCtrlID(child)) + "\t" + ClassOf(child) + "\t" +
          std::to_string(rect.left) + "\t" + std::to_string(rect.top) + "\t" +
          std::to_string(rect.right - rect.left) + "\t" + std::to_string(rect.bottom - rect.top));
  }
  return kExitOk;
}

// Whether a control's text fits into it, drawn in its own font: a static text wraps its words
// at its right edge and must not need more than its height; a button's or check box's one line
// must not need more than its width (a check box's box taken off).
bool TextFits(HWND control) {
  const std::string text = TextOf(control).value_or("");
  const std::string class_name = ClassOf(control);
  const LONG style = GetWindowLongA(control, GWL_STYLE);
  RECT inside = {};
  GetClientRect(control, &inside);
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
  RECT needed = inside;
  bool fits = true;
  if (lstrcmpiA(class_name.c_str(), "Static") == 0) {
    DrawTextA(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    fits = needed.bottom <= inside.bottom && needed.right <= inside.right;
  } else {
    DrawTextA(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_SINGLELINE);
    const bool check_box = (style & BS_TYPEMASK) == BS_AUTOCHECKBOX;
    const int box = check_box ? GetSystemMetrics(SM_CXMENUCHECK) + 4 : 0;
    fits = needed.right - needed.left + box <= inside.right;
  }
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return fits;
}

// For each static text, button and check box with a text: its id, then "fits" or "cut".
int Fits(const std::string& title, double seconds) {
  HWND window = WindowOrFail(title, seconds);
  if (window == nullptr) return kExitNotFound;
  for (HWND child : ChildrenOf(window)) {
    const std::string class_name = ClassOf(child);
    const LONG kind = GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK;
    const bool text_kind =
        lstrcmpiA(class_name.c_str(), "Button") == 0 ||
        (lstrcmpiA(class_name.c_str(), "Static") == 0 && (kind == SS_LEFT || kind == SS_RIGHT));
    if (!text_kind || TextOf(child).value_or("").empty()) continue;
    Print(std::to_string(GetDlgCtrlID(child)) + "\t" + (TextFits(child) ? "fits" : "cut"));
  }
  return kExitOk;
}

void Usage() {
  std::fputs(
      "usage: uiauto [--timeout=SECONDS] COMMAND TITLE [ARG]\n"
      "  wait TITLE [SECONDS] | gone TITLE [SECONDS] | list TITLE | click TITLE ID\n"
      "  status TITLE | msgbox TITLE [SECONDS] | press TITLE [BUTTON_ID]\n"
      "  alive TITLE SECONDS [FINAL_STATUS] | close TITLE | layout TITLE\n"
      "  settext TITLE ID TEXT | fits TITLE\n",
      stderr);
}

int Run(int argc, char** argv) {
  double seconds = 20;
  int first = 1;
  if (argc > first && std::strncmp(argv[first], "--timeout=", 10) == 0) {
    if (!ParseSeconds(argv[first] + 10, &seconds)) {
      Usage();
      return kExitUsage;
    }
    ++first;
  }
  if (argc - first < 2) {
    Usage();
    return kExitUsage;
  }
  const std::string command = argv[first];
  const std::string title = argv[first + 1];
  const char* extra = argc - first > 2 ? argv[first + 2] : nullptr;
  if (command == "alive") {
    double alive_seconds = 0;
    if (extra == nullptr || argc - first > 4 || !ParseSeconds(extra, &alive_seconds)) {
      Usage();
      return kExitUsage;
    }
    return Alive(title, alive_seconds, argc - first > 3 ? argv[first + 3] : nullptr, seconds);
  }
  if (command == "settext") {
    long id = 0;
    if (argc - first != 4 || !ParseNumber(extra, &id)) {
      Usage();
      return kExitUsage;
    }
    return SetText(title, static_cast<int>(id), argv[first + 3], seconds);
  }
  if (argc - first > 3) {
    Usage();
    return kExitUsage;
  }

  if (command == "wait" || command == "gone" || command == "msgbox") {
    if (extra != nullptr && !ParseSeconds(extra, &seconds)) {
      Usage();
      return kExitUsage;
    }
    if (command == "wait") return Wait(title, seconds);
    if (command == "gone") return Gone(title, seconds);
    return MessageBoxText(title, seconds);
  }
  if (command == "fits") {
    if (extra != nullptr) {
      Usage();
      return kExitUsage;
    }
    return Fits(title, seconds);
  }
  if (command == "list" || command == "status" || command == "close" || command == "layout") {
    if (extra != nullptr) {
      Usage();
      return kExitUsage;
    }
    if (command == "list") return List(title, seconds);
    if (command == "status") return Status(title, seconds);
    return command == "close" ? Close(title, seconds) : Layout(title, seconds);
  }
  if (command == "click" || command == "press") {
    long id = command == "press" ? IDOK : 0;
    if (extra != nullptr ? !ParseNumber(extra, &id) : command == "click") {
      Usage();
      return kExitUsage;
    }
    return command == "click" ? Click(title, static_cast<int>(id), seconds)
                              : Press(title, static_cast<int>(id), seconds);
  }
  Usage();
  return kExitUsage;
}

}  // namespace
}  // namespace uninstall::uiauto

int main(int argc, char** argv) {
  // Texts go out byte for byte: no CR added before a message box's line feed.
  _setmode(_fileno(stdout), _O_BINARY);
  int code = uninstall::uiauto::Run(argc, argv);
  std::fflush(stdout);
  return code;
}
