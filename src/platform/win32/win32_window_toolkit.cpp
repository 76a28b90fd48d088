#include "platform/win32/win32_window_toolkit.h"

#include <windows.h>

#include "platform/win32/win32_handles.h"
// After windows.h, which they need.
#include <commctrl.h>
#include <shobjidl.h>

#include "platform/win32/win32_control_text.h"
#include "platform/win32/win32_window_classes.h"

namespace uninstall {
namespace {

HWND AsWindow(void* window) { return static_cast<HWND>(window); }

HWND AsWindow(WindowHandle window) { return ToSystem<HWND>(window); }

WindowHandle AsHandle(HWND window) { return FromSystem(window); }

std::string ClassName(HWND window) {
  char name[32] = {};
  return std::string(name, GetClassNameA(window, name, sizeof(name)));
}

bool IsTabEnterOrEscape(const MSG& message) {
  return message.message == WM_KEYDOWN &&
         (message.wParam == VK_TAB || message.wParam == VK_RETURN || message.wParam == VK_ESCAPE);
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM windows) {
  reinterpret_cast<std::vector<WindowHandle>*>(windows)->push_back(AsHandle(window));
  return TRUE;
}

}  // namespace

Win32WindowToolkit::Win32WindowToolkit() = default;

Win32WindowToolkit::~Win32WindowToolkit() {
  for (const BuiltWindow& window : windows_) DestroyBuiltWindow(window);
  windows_.clear();
  UnregisterWindowClasses(GetModuleHandleA(nullptr));
  ReleaseProgramIcon();
  if (taskbar_ != nullptr) static_cast<ITaskbarList3*>(taskbar_)->Release();
}

void Win32WindowToolkit::SetStatusText(const std::string& text) {
  for (const BuiltWindow& window : windows_) {
    if (window.status_bar == nullptr) continue;
    // Field 0, no drawing options. The bar paints the text at the next paint message, so that
    // thousands of texts in a row cost no drawing each.
    SendMessageA(AsWindow(window.status_bar), SB_SETTEXTA, 0,
                 reinterpret_cast<LPARAM>(text.c_str()));
    return;
  }
}

void* Win32WindowToolkit::Taskbar() {
  if (!taskbar_tried_) {
    taskbar_tried_ = true;
    ITaskbarList3* taskbar = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ITaskbarList3, reinterpret_cast<void**>(&taskbar)))) {
      if (SUCCEEDED(taskbar->HrInit())) {
        taskbar_ = taskbar;
      } else {
        taskbar->Release();
      }
    }
  }
  return taskbar_;
}

void Win32WindowToolkit::SetProgress(int control, std::uint32_t position, std::uint32_t range) {
  HWND bar = AsWindow(FindControl(control));
  if (bar == nullptr) return;
  SendMessageA(bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(range));
  SendMessageA(bar, PBM_SETPOS, position, 0);
  progress_window_ = GetAncestor(bar, GA_ROOT);
  if (taskbar_state_ == TaskbarState::kNone || Taskbar() == nullptr) return;
  static_cast<ITaskbarList3*>(Taskbar())->SetProgressValue(AsWindow(progress_window_), position,
                                                           range);
}

void Win32WindowToolkit::SetTaskbarState(int control, TaskbarState state) {
  taskbar_state_ = state;
  if (HWND bar = AsWindow(FindControl(control))) progress_window_ = GetAncestor(bar, GA_ROOT);
  if (progress_window_ == nullptr || Taskbar() == nullptr) return;
  const TBPFLAG flag = state == TaskbarState::kNormal  ? TBPF_NORMAL
                       : state == TaskbarState::kError ? TBPF_ERROR
                                                       : TBPF_NOPROGRESS;
  static_cast<ITaskbarList3*>(Taskbar())->SetProgressState(AsWindow(progress_window_), flag);
}

void Win32WindowToolkit::LoadProgramIcon() {
  if (program_icon_ != nullptr) return;
  program_icon_ = LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), IMAGE_ICON, 32, 32, 0);
}

void Win32WindowToolkit::ReleaseProgramIcon() {
  if (program_icon_ == nullptr) return;
  DestroyIcon(static_cast<HICON>(program_icon_));
  program_icon_ = nullptr;
}

void Win32WindowToolkit::ShowControl(int control, Visible visible) {
  if (HWND found = AsWindow(FindControl(control))) {
    ShowWindow(found, visible == Visible::kYes ? SW_SHOW : SW_HIDE);
  }
}

void Win32WindowToolkit::EnableControl(int control, Enabled enabled) {
  if (HWND found = AsWindow(FindControl(control))) EnableWindow(found, enabled == Enabled::kYes);
}

void Win32WindowToolkit::SetChecked(int control, Checked checked) {
  if (HWND found = AsWindow(FindControl(control))) {
    SendMessageA(found, BM_SETCHECK, checked == Checked::kYes ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

bool Win32WindowToolkit::IsChecked(int control) {
  HWND found = AsWindow(FindControl(control));
  return found != nullptr && SendMessageA(found, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

WindowEvent Win32WindowToolkit::NextEvent() {
  while (events_.empty() && !queue_ended_) {
    MSG message;
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) {
      queue_ended_ = true;
      break;
    }
    // The dialog manager moves the focus on Tab and Shift+Tab and swallows Enter and Escape. No
    // other key reaches it: it would move the focus on the arrow keys, and let a typed letter
    // press the button whose text has that letter after an "&".
    HWND top = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (IsTabEnterOrEscape(message) && top != nullptr && IsOpenWindow(top) &&
        IsDialogMessageA(top, &message)) {
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  if (events_.empty()) return {WindowEvent::Kind::kQueueEnded, 0, 0};
  WindowEvent event = events_.front();
  events_.pop_front();
  return event;
}

bool Win32WindowToolkit::OpenWindow(const WindowSpec& description) {
  BuiltWindow built;
  if (!BuildWindow(description, program_icon_, &events_, &built)) return false;
  windows_.push_back(built);
  return true;
}

void Win32WindowToolkit::CloseWindow(int window) {
  for (auto it = windows_.begin(); it != windows_.end();) {
    if (it->number == window) {
      DestroyBuiltWindow(*it);
      it = windows_.erase(it);
    } else {
      ++it;
    }
  }
}

std::string Win32WindowToolkit::ControlText(int control) {
  HWND found = AsWindow(FindControl(control));
  if (found == nullptr) return "";
  std::string held(GetWindowTextLengthA(found) + 1, '\0');
  held.resize(GetWindowTextA(found, held.data(), static_cast<int>(held.size())));
  return ShownText(ClassName(found), held);
}

void Win32WindowToolkit::SetControlText(int control, const std::string& text) {
  if (HWND found = AsWindow(FindControl(control))) {
    SetWindowTextA(found, HeldText(ClassName(found), text).c_str());
  }
}

void Win32WindowToolkit::HandlePaintAndSentMessages() {
  // Paint messages are removed and dispatched; messages sent by other threads and programs are
  // answered inside PeekMessage. Input and posted messages stay queued for NextEvent.
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE)) {
    if (message.message == WM_QUIT) {
      queue_ended_ = true;
      continue;
    }
    DispatchMessageA(&message);
  }
}

std::uint32_t Win32WindowToolkit::Milliseconds() { return GetTickCount(); }

int Win32WindowToolkit::MessageBoxWithOwner(WindowHandle owner, const std::string& text,
                                            const std::string& title, std::uint32_t flags) {
  return MessageBoxA(AsWindow(owner), text.c_str(), title.c_str(), flags);
}

namespace {

// The one box shown until a process ends: what the timer looks at, and the box to close.
struct BoxUntilEnded {
  HANDLE process = nullptr;
  DWORD thread = 0;
};
BoxUntilEnded box_until_ended;

BOOL CALLBACK EndMessageBox(HWND window, LPARAM) {
  char class_name[16] = "";
  if (GetClassNameA(window, class_name, sizeof(class_name)) > 0 &&
      lstrcmpA(class_name, "#32770") == 0) {
    EndDialog(window, kBoxClosedByEnd);
  }
  return TRUE;
}

// Runs in the box's own message loop, on this thread.
void CALLBACK LookAtTheProcess(HWND, UINT, UINT_PTR, DWORD) {
  if (box_until_ended.process != nullptr &&
      WaitForSingleObject(box_until_ended.process, 0) != WAIT_TIMEOUT) {
    EnumThreadWindows(box_until_ended.thread, EndMessageBox, 0);
  }
}

}  // namespace

int Win32WindowToolkit::MessageBoxUntilEnded(WindowHandle owner, const std::string& text,
                                             const std::string& title, std::uint32_t flags,
                                             ProcessHandle running) {
  box_until_ended = {ToSystem(running), GetCurrentThreadId()};
  const UINT_PTR timer = SetTimer(nullptr, 0, 100, LookAtTheProcess);
  const int pressed = MessageBoxA(AsWindow(owner), text.c_str(), title.c_str(), flags);
  if (timer != 0) KillTimer(nullptr, timer);
  box_until_ended = {};
  return pressed;
}

std::vector<WindowHandle> Win32WindowToolkit::TopLevelWindows() {
  std::vector<WindowHandle> windows;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::uint32_t Win32WindowToolkit::ThreadOfWindow(WindowHandle window) {
  return GetWindowThreadProcessId(AsWindow(window), nullptr);
}

std::uint32_t Win32WindowToolkit::ProcessOfWindow(WindowHandle window) {
  DWORD process = 0;
  GetWindowThreadProcessId(AsWindow(window), &process);
  return process;
}

std::uint32_t Win32WindowToolkit::CurrentThread() { return GetCurrentThreadId(); }

std::uint32_t Win32WindowToolkit::CurrentProcess() { return GetCurrentProcessId(); }

bool Win32WindowToolkit::IsWindowShown(WindowHandle window) {
  return IsWindowVisible(AsWindow(window));
}

bool Win32WindowToolkit::IsWindowEnabledNow(WindowHandle window) {
  return IsWindowEnabled(AsWindow(window));
}

WindowHandle Win32WindowToolkit::Foreground() { return AsHandle(GetForegroundWindow()); }

void Win32WindowToolkit::EnableWindowHandle(WindowHandle window, Enabled enabled) {
  EnableWindow(AsWindow(window), enabled == Enabled::kYes);
}

void* Win32WindowToolkit::FindControl(int control) const {
  for (const BuiltWindow& window : windows_) {
    if (HWND found = GetDlgItem(AsWindow(window.window), control)) return found;
    for (void* panel : window.panels) {
      if (HWND found = GetDlgItem(AsWindow(panel), control)) return found;
    }
  }
  return nullptr;
}

bool Win32WindowToolkit::IsOpenWindow(void* window) const {
  for (const BuiltWindow& built : windows_) {
    if (built.window == window) return true;
  }
  return false;
}

}  // namespace uninstall
