#include "platform/win32/win32_window_builder.h"

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <algorithm>
#include <map>
#include <string>
#include <tuple>

#include "platform/win32/win32_control_text.h"
#include "platform/win32/win32_window_classes.h"

namespace uninstall {
namespace {

struct ControlClass {
  const char* name;
  DWORD style;
  DWORD ex_style;
  bool has_font;
};

ControlClass ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::kPanel:
      // Tab and Shift+Tab look into the panel for controls that take the focus.
      return {kPanelClass, 0, WS_EX_CONTROLPARENT, false};
    case ControlKind::kText:
      // No prefix: an "&" in a program's name is shown, not taken for a mnemonic.
      return {"Static", SS_LEFT | SS_NOPREFIX, 0, true};
    case ControlKind::kRightText:
      return {"Static", SS_RIGHT | SS_NOPREFIX, 0, true};
    case ControlKind::kIcon:
      // The control keeps its own size whatever the icon.
      return {"Static", SS_ICON | SS_REALSIZECONTROL, 0, false};
    case ControlKind::kCheckBox:
      return {"Button", BS_AUTOCHECKBOX | WS_TABSTOP, 0, true};
    case ControlKind::kButton:
      return {"Button", BS_PUSHBUTTON | WS_TABSTOP, 0, true};
    case ControlKind::kEtchedLine:
      return {"Static", SS_ETCHEDHORZ, 0, false};
    case ControlKind::kEdit:
      return {"Edit", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, true};
    case ControlKind::kPasswordEdit:
      return {"Edit", ES_LEFT | ES_AUTOHSCROLL | ES_PASSWORD | WS_TABSTOP, WS_EX_CLIENTEDGE, true};
    case ControlKind::kFrame:
      // Draws only its edge, so the controls inside it stay visible.
      return {"Static", SS_ETCHEDFRAME, 0, false};
  }
  return {"Static", SS_LEFT, 0, false};
}

// One font per face, size and weight; the default GUI font is the stock one.
class Fonts {
 public:
  explicit Fonts(BuiltWindow* built) : built_(built) {
    HDC screen = GetDC(nullptr);
    pixels_per_inch_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
  }

  HFONT Get(const FontSpec& wanted) {
    if (wanted.face.empty()) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    auto key = std::make_tuple(wanted.face, wanted.points, wanted.bold);
    auto found = made_.find(key);
    if (found != made_.end()) return found->second;
    HFONT font = CreateFontA(-MulDiv(wanted.points, pixels_per_inch_, 72), 0, 0, 0,
                             wanted.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, wanted.face.c_str());
    made_[key] = font;
    if (font != nullptr) built_->fonts.push_back(font);
    return font;
  }

 private:
  BuiltWindow* built_;
  int pixels_per_inch_ = 96;
  std::map<std::tuple<std::string, int, bool>, HFONT> made_;
};

// Outer size for the client size, at most the screen, centred on the screen.
RECT CentredFrame(const WindowSpec& description, DWORD style, DWORD ex_style) {
  RECT frame = {0, 0, description.client_width, description.client_height};
  AdjustWindowRectEx(&frame, style, FALSE, ex_style);
  const int screen_width = GetSystemMetrics(SM_CXSCREEN);
  const int screen_height = GetSystemMetrics(SM_CYSCREEN);
  const int width = std::min<int>(frame.right - frame.left, screen_width);
  const int height = std::min<int>(frame.bottom - frame.top, screen_height);
  const int x = (screen_width - width) / 2;
  const int y = (screen_height - height) / 2;
  return {x, y, x + width, y + height};
}

HWND CreateControl(const ControlSpec& described, HWND parent, HICON icon, Fonts* fonts) {
  const ControlClass control_class = ClassOf(described.kind);
  const DWORD style = WS_CHILD | (described.visible ? WS_VISIBLE : 0) | control_class.style;
  // An icon control would read its text as the name of an icon resource.
  const std::string text =
      described.kind == ControlKind::kIcon ? "" : HeldText(control_class.name, described.text);
  HWND control =
      CreateWindowExA(control_class.ex_style, control_class.name, text.c_str(), style, described.x,
                      described.y, described.width, described.height, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(described.number)),
                      GetModuleHandleA(nullptr), nullptr);
  if (control == nullptr) return nullptr;
  if (control_class.has_font) {
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts->Get(described.font)), FALSE);
  }
  if (described.kind == ControlKind::kIcon && icon != nullptr) {
    SendMessageA(control, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  }
  return control;
}

HWND CreateStatusBar(HWND window, int field_right) {
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  // Without SBARS_SIZEGRIP: the window cannot be resized.
  HWND status_bar =
      CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBarControlId)),
                      GetModuleHandleA(nullptr), nullptr);
  if (status_bar != nullptr) {
    int right_edges[] = {field_right};
    SendMessageA(status_bar, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(right_edges));
  }
  return status_bar;
}

}  // namespace

bool BuildWindow(const WindowSpec& description, void* icon, std::deque<WindowEvent>* events,
                 BuiltWindow* built) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!RegisterWindowClasses(instance)) return false;
  // Title bar only, or title bar with system menu and close box; never a sizing border or a
  // minimise or maximise box.
  const DWORD style = WS_CAPTION | (description.close_box ? WS_SYSMENU : 0);
  const DWORD ex_style = 0;
  const RECT frame = CentredFrame(description, style, ex_style);
  EventTarget target{events, description.number};
  HWND window = CreateWindowExA(ex_style, kTopLevelClass, description.title.c_str(), style,
                                frame.left, frame.top, frame.right - frame.left,
                                frame.bottom - frame.top, nullptr, nullptr, instance, &target);
  if (window == nullptr) return false;

  *built = BuiltWindow{};
  built->number = description.number;
  built->window = window;
  Fonts fonts(built);
  std::map<int, HWND> panels;
  for (const ControlSpec& control : description.controls) {
    HWND parent = window;
    if (control.parent != 0) {
      auto panel = panels.find(control.parent);
      if (panel == panels.end()) continue;  // its panel is missing, and so is the control
      parent = panel->second;
    }
    HWND created = CreateControl(control, parent, static_cast<HICON>(icon), &fonts);
    if (created != nullptr && control.kind == ControlKind::kPanel) {
      panels[control.number] = created;
      built->panels.push_back(created);
    }
  }
  if (description.status_bar_field_right > 0) {
    built->status_bar = CreateStatusBar(window, description.status_bar_field_right);
  }

  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  SetForegroundWindow(window);
  // The keyboard starts at the first control that takes the focus, as in a dialog.
  if (HWND first = GetNextDlgTabItem(window, nullptr, FALSE)) SetFocus(first);
  return true;
}

void DestroyBuiltWindow(const BuiltWindow& built) {
  if (built.window != nullptr) DestroyWindow(static_cast<HWND>(built.window));
  for (void* font : built.fonts) DeleteObject(static_cast<HFONT>(font));
}

}  // namespace uninstall
