#include "platform/win32/win32_window_toolkit.h"

#include <windows.h>

namespace uninstall {

Win32WindowToolkit::~Win32WindowToolkit() { ReleaseProgramIcon(); }

int Win32WindowToolkit::ShowMessageBox(const std::string& title, const std::string& text,
                                       std::uint32_t flags) {
  // No owner while the program has no window of its own.
  return MessageBoxA(nullptr, text.c_str(), title.c_str(), flags);
}

void Win32WindowToolkit::SetStatusText(const std::string& /*text*/) {
  // The status bar belongs to the main window, which does not exist yet.
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

bool Win32WindowToolkit::OpenMainWindow(const MainWindowTexts& /*texts*/) {
  // The main window does not exist yet; without it the window mode ends at once.
  return false;
}

void Win32WindowToolkit::ShowControl(int /*control*/, bool /*visible*/) {}

void Win32WindowToolkit::EnableControl(int /*control*/, bool /*enabled*/) {}

void Win32WindowToolkit::SetChecked(int /*control*/, bool /*checked*/) {}

bool Win32WindowToolkit::IsChecked(int /*control*/) { return false; }

WindowEvent Win32WindowToolkit::NextEvent() {
  MSG message;
  if (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return WindowEvent{};
}

void Win32WindowToolkit::CloseMainWindow() {}

}  // namespace uninstall
