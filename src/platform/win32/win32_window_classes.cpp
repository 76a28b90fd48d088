#include "platform/win32/win32_window_classes.h"

#include "platform/win32/win32_window_builder.h"

namespace uninstall {
namespace {

// The top-level class's extra bytes: the event queue, the window number and the layout.
constexpr int kEventsSlot = 0;
constexpr int kNumberSlot = sizeof(LONG_PTR);
constexpr int kLayoutSlot = 2 * sizeof(LONG_PTR);
constexpr int kSlots = 3;

constexpr COLORREF kWhite = RGB(255, 255, 255);

bool IsClass(HWND window, const char* name) {
  char found[32] = {};
  return GetClassNameA(window, found, sizeof(found)) > 0 && lstrcmpiA(found, name) == 0;
}

// Clicks of buttons and check boxes, and the text and focus changes of edit fields. An event
// does not say which notification it was, so a button's other notifications must not pass for
// clicks. Dropped as well: the IDOK and IDCANCEL commands that IsDialogMessage makes of Enter and
// Escape, which come without a control or from a static or a panel.
bool IsControlNotification(HWND window, HWND control, WORD code) {
  if (control == nullptr || !IsChild(window, control)) return false;
  if (IsClass(control, "Button")) return code == BN_CLICKED;
  if (IsClass(control, "Edit")) {
    return code == EN_CHANGE || code == EN_SETFOCUS || code == EN_KILLFOCUS;
  }
  return false;
}

void Queue(HWND window, WindowEvent::Kind kind, int control) {
  auto* events = reinterpret_cast<std::deque<WindowEvent>*>(GetWindowLongPtrA(window, kEventsSlot));
  if (events == nullptr) return;
  events->push_back({kind, control, static_cast<int>(GetWindowLongPtrA(window, kNumberSlot))});
}

LRESULT CALLBACK TopLevelProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_NCCREATE: {
      const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
      if (const auto* target = static_cast<const EventTarget*>(create->lpCreateParams)) {
        SetWindowLongPtrA(window, kEventsSlot, reinterpret_cast<LONG_PTR>(target->events));
        SetWindowLongPtrA(window, kNumberSlot, target->window);
        SetWindowLongPtrA(window, kLayoutSlot, reinterpret_cast<LONG_PTR>(target->layout));
      }
      break;
    }
    case WM_DPICHANGED: {
      // Moved to a display of another scale: the controls and fonts at the new DPI, the frame
      // where the system suggests.
      if (auto* layout = reinterpret_cast<WindowLayout*>(GetWindowLongPtrA(window, kLayoutSlot))) {
        LayOutAgain(layout, HIWORD(wparam));
      }
      const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
      SetWindowPos(window, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_COMMAND: {
      HWND control = reinterpret_cast<HWND>(lparam);
      if (IsControlNotification(window, control, HIWORD(wparam))) {
        Queue(window, WindowEvent::Kind::kControl, GetDlgCtrlID(control));
      }
      return 0;
    }
    case WM_CLOSE:
      // Only the program decides whether the window goes.
      Queue(window, WindowEvent::Kind::kCloseRequest, 0);
      return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

LRESULT CALLBACK PanelProcedure(HWND panel, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wparam);
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(dc, kWhite);
      return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    }
    case WM_COMMAND:
      // The top-level window decides what becomes an event.
      return SendMessageA(GetAncestor(panel, GA_ROOT), WM_COMMAND, wparam, lparam);
  }
  return DefWindowProcA(panel, message, wparam, lparam);
}

bool Register(const WNDCLASSEXA& window_class) {
  return RegisterClassExA(&window_class) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

bool RegisterWindowClasses(HINSTANCE instance) {
  WNDCLASSEXA top_level = {};
  top_level.cbSize = sizeof(top_level);
  top_level.lpfnWndProc = TopLevelProcedure;
  top_level.cbWndExtra = kSlots * sizeof(LONG_PTR);
  top_level.hInstance = instance;
  // Shared icons: the system frees them with the module. Missing ones leave the default.
  top_level.hIcon = static_cast<HICON>(
      LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  top_level.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON,
                                                    GetSystemMetrics(SM_CXSMICON),
                                                    GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  top_level.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  top_level.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  top_level.lpszClassName = kTopLevelClass;

  WNDCLASSEXA panel = {};
  panel.cbSize = sizeof(panel);
  panel.lpfnWndProc = PanelProcedure;
  panel.hInstance = instance;
  panel.hCursor = top_level.hCursor;
  panel.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  panel.lpszClassName = kPanelClass;

  return Register(top_level) && Register(panel);
}

void UnregisterWindowClasses(HINSTANCE instance) {
  UnregisterClassA(kTopLevelClass, instance);
  UnregisterClassA(kPanelClass, instance);
}

}  // namespace uninstall
