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
#include "ui/window_scale.h"

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
    case ControlKind::kProgressBar:
      return {PROGRESS_CLASSA, PBS_SMOOTH, 0, false};
  }
  return {"Static", SS_LEFT, 0, false};
}

// The DPI the system gives the screen as a whole; 0 when it says none.
int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

// The DPI of the display a window is on (GetDpiForWindow, Windows 10 1607 on), or the system's.
int WindowDpi(HWND window) {
  using DpiForWindow = UINT(WINAPI*)(HWND);
  const auto dpi_for_window = reinterpret_cast<DpiForWindow>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
  if (dpi_for_window != nullptr) {
    if (const UINT dpi = dpi_for_window(window); dpi > 0) return static_cast<int>(dpi);
  }
  const int dpi = ScreenDpi();
  return dpi > 0 ? dpi : kLayoutDpi;
}

// The frame around a client area at `dpi` (AdjustWindowRectExForDpi where the system has it).
RECT FrameAround(int width, int height, DWORD style, DWORD ex_style, int dpi) {
  using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  const auto adjust_for_dpi = reinterpret_cast<AdjustForDpi>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("user32.dll"), "AdjustWindowRectExForDpi")));
  RECT frame = {0, 0, width, height};
  if (adjust_for_dpi == nullptr || !adjust_for_dpi(&frame, style, FALSE, ex_style, dpi)) {
    frame = {0, 0, width, height};
    AdjustWindowRectEx(&frame, style, FALSE, ex_style);
  }
  return frame;
}

// The fonts of one window at one DPI: one per face, size and weight, and the system's font for
// dialog controls at that DPI (the stock one where the DPI is the system's).
class Fonts {
 public:
  explicit Fonts(int dpi) : dpi_(dpi) {}

  HFONT Get(const FontSpec& wanted) {
    auto key = std::make_tuple(wanted.face, wanted.points, wanted.bold);
    auto found = made_.find(key);
    if (found != made_.end()) return found->second;
    HFONT font = wanted.face.empty() ? DialogFont() : NamedFont(wanted);
    made_[key] = font;
    return font;
  }

  // The fonts made, for their window to keep until it has others.
  std::vector<HFONT> TakeMade() {
    std::vector<HFONT> made;
    for (const auto& [key, font] : made_) {
      if (font != nullptr && font != GetStockObject(DEFAULT_GUI_FONT)) made.push_back(font);
    }
    made_.clear();
    return made;
  }

 private:
  HFONT NamedFont(const FontSpec& wanted) const {
    return CreateFontA(FontHeight(wanted.points, dpi_), 0, 0, 0, wanted.bold ? FW_BOLD : FW_NORMAL,
                       FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       wanted.face.c_str());
  }

  HFONT DialogFont() const {
    auto* stock = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    const int system_dpi = ScreenDpi();
    LOGFONTA font = {};
    if (system_dpi <= 0 || system_dpi == dpi_ || GetObjectA(stock, sizeof(font), &font) == 0) {
      return stock;
    }
    // The stock font is made for the system's DPI.
    font.lfHeight = MulDiv(font.lfHeight, dpi_, system_dpi);
    HFONT scaled = CreateFontIndirectA(&font);
    return scaled != nullptr ? scaled : stock;
  }

  int dpi_;
  std::map<std::tuple<std::string, int, bool>, HFONT> made_;
};

// Outer size for the client size, at most the screen, centred on the screen.
RECT CentredFrame(const WindowSpec& scaled, DWORD style, DWORD ex_style, int dpi) {
  const RECT frame = FrameAround(scaled.client_width, scaled.client_height, style, ex_style, dpi);
  const int screen_width = GetSystemMetrics(SM_CXSCREEN);
  const int screen_height = GetSystemMetrics(SM_CYSCREEN);
  const int width = std::min<int>(frame.right - frame.left, screen_width);
  const int height = std::min<int>(frame.bottom - frame.top, screen_height);
  const int x = (screen_width - width) / 2;
  const int y = (screen_height - height) / 2;
  return {x, y, x + width, y + height};
}

HWND CreateControl(const ControlSpec& described, HWND parent, HICON icon) {
  if (described.kind == ControlKind::kProgressBar) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
  }
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
  if (control != nullptr && described.kind == ControlKind::kIcon && icon != nullptr) {
    SendMessageA(control, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  }
  return control;
}

HWND CreateStatusBar(HWND window) {
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  // Without SBARS_SIZEGRIP: the window cannot be resized.
  return CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBarControlId)),
                         GetModuleHandleA(nullptr), nullptr);
}

void DeleteFonts(const std::vector<HFONT>& fonts) {
  for (HFONT font : fonts) DeleteObject(font);
}

}  // namespace

struct WindowLayout {
  WindowSpec description;      // at 96 DPI
  std::vector<HWND> controls;  // one per control of the description; null where missing
  HWND status_bar = nullptr;
  std::vector<HFONT> fonts;  // made for the DPI the controls are laid out at
};

namespace {

// Gives the controls and the status bar fonts made for `dpi`, and places them there when
// `move` says so (else they were made there).
void LayOut(WindowLayout* layout, int dpi, bool move) {
  const WindowSpec scaled = ScaledWindow(layout->description, dpi);
  Fonts fonts(dpi);
  for (std::size_t i = 0; i < scaled.controls.size() && i < layout->controls.size(); ++i) {
    const ControlSpec& control = scaled.controls[i];
    HWND created = layout->controls[i];
    if (created == nullptr) continue;
    if (move) {
      SetWindowPos(created, nullptr, control.x, control.y, control.width, control.height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (ClassOf(control.kind).has_font) {
      SendMessageA(created, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.Get(control.font)), TRUE);
    }
  }
  if (layout->status_bar != nullptr) {
    // The bar takes its height from its font, and its place from the window, at WM_SIZE.
    SendMessageA(layout->status_bar, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.Get(FontSpec{})),
                 FALSE);
    SendMessageA(layout->status_bar, WM_SIZE, 0, 0);
    int right_edges[] = {scaled.status_bar_field_right};
    SendMessageA(layout->status_bar, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(right_edges));
  }
  // The old fonts go once nothing uses them.
  DeleteFonts(layout->fonts);
  layout->fonts = fonts.TakeMade();
}

}  // namespace

void LayOutAgain(WindowLayout* layout, int dpi) { LayOut(layout, dpi, true); }

bool BuildWindow(const WindowSpec& description, void* icon, std::deque<WindowEvent>* events,
                 BuiltWindow* built) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!RegisterWindowClasses(instance)) return false;
  // Title bar only, or title bar with system menu and close box; never a sizing border or a
  // minimise or maximise box.
  const DWORD style = WS_CAPTION | (description.close_box ? WS_SYSMENU : 0);
  const DWORD ex_style = 0;
  auto* layout = new WindowLayout{description, {}, nullptr, {}};
  EventTarget target{events, description.number, layout};
  // Hidden, and placed once the display's DPI is known: that of the display the centred
  // window lies on.
  HWND window = CreateWindowExA(ex_style, kTopLevelClass, description.title.c_str(), style, 0, 0,
                                description.client_width, description.client_height, nullptr,
                                nullptr, instance, &target);
  if (window == nullptr) {
    delete layout;
    return false;
  }
  int dpi = WindowDpi(window);
  RECT frame = CentredFrame(ScaledWindow(description, dpi), style, ex_style, dpi);
  SetWindowPos(window, nullptr, frame.left, frame.top, frame.right - frame.left,
               frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
  if (const int placed_dpi = WindowDpi(window); placed_dpi != dpi) {
    dpi = placed_dpi;
    frame = CentredFrame(ScaledWindow(description, dpi), style, ex_style, dpi);
    SetWindowPos(window, nullptr, frame.left, frame.top, frame.right - frame.left,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  const WindowSpec scaled = ScaledWindow(description, dpi);

  *built = BuiltWindow{};
  built->number = description.number;
  built->window = window;
  built->layout = layout;
  std::map<int, HWND> panels;
  for (const ControlSpec& control : scaled.controls) {
    HWND parent = window;
    HWND created = nullptr;
    if (control.parent != 0) {
      auto panel = panels.find(control.parent);
      // A control whose panel is missing is missing too.
      parent = panel == panels.end() ? nullptr : panel->second;
    }
    if (parent != nullptr) created = CreateControl(control, parent, static_cast<HICON>(icon));
    layout->controls.push_back(created);
    if (created != nullptr && control.kind == ControlKind::kPanel) {
      panels[control.number] = created;
      built->panels.push_back(created);
    }
  }
  if (description.status_bar_field_right > 0) {
    layout->status_bar = CreateStatusBar(window);
    built->status_bar = layout->status_bar;
  }

  LayOut(layout, dpi, false);

  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  SetForegroundWindow(window);
  // The keyboard starts at the first control that takes the focus, as in a dialog.
  if (HWND first = GetNextDlgTabItem(window, nullptr, FALSE)) SetFocus(first);
  return true;
}

void DestroyBuiltWindow(const BuiltWindow& built) {
  if (built.window != nullptr) DestroyWindow(static_cast<HWND>(built.window));
  if (built.layout != nullptr) {
    DeleteFonts(built.layout->fonts);
    delete built.layout;
  }
}

}  // namespace uninstall
