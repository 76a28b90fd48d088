#include "fakes/fake_window_toolkit.h"

namespace uninstall {
namespace {

bool Lookup(const std::map<int, bool>& states, int control, bool default_value) {
  auto state = states.find(control);
  return state == states.end() ? default_value : state->second;
}

}  // namespace

void FakeWindowToolkit::QueueClick(int control, int window) {
  events_.push_back({{WindowEvent::Kind::kControl, control, window}, false});
}

void FakeWindowToolkit::QueueCloseRequest(int window) {
  events_.push_back({{WindowEvent::Kind::kCloseRequest, 0, window}, false});
}

void FakeWindowToolkit::QueueToggle(int control) {
  events_.push_back({{WindowEvent::Kind::kControl, control, kMainWindow}, true});
}

bool FakeWindowToolkit::visible(int control) const {
  return Lookup(visible_, control, control != kReadyButton);
}

bool FakeWindowToolkit::enabled(int control) const { return Lookup(enabled_, control, true); }

bool FakeWindowToolkit::checked(int control) const { return Lookup(checked_, control, false); }

int FakeWindowToolkit::ShowMessageBox(const std::string& title, const std::string& text,
                                      std::uint32_t flags) {
  log_->Add("MessageBox " + title + " | " + text + " | " + std::to_string(flags));
  if (on_message_box) on_message_box(title);
  return 1;
}

void FakeWindowToolkit::SetStatusText(const std::string& text) {
  log_->Add("SetStatusText " + text);
  if (window_open_) status_text_ = text;
}

void FakeWindowToolkit::LoadProgramIcon() { log_->Add("LoadProgramIcon"); }

void FakeWindowToolkit::ReleaseProgramIcon() { log_->Add("ReleaseProgramIcon"); }

bool FakeWindowToolkit::OpenMainWindow(const MainWindowTexts& texts) {
  log_->Add("OpenMainWindow" + texts.title);
  if (!window_can_open) return false;
  window_open_ = true;
  texts_ = texts;
  return true;
}

void FakeWindowToolkit::ShowControl(int control, bool visible) {
  log_->Add("ShowControl " + std::to_string(control) + " " + (visible ? "1" : "0"));
  visible_[control] = visible;
}

void FakeWindowToolkit::EnableControl(int control, bool enabled) {
  log_->Add("EnableControl " + std::to_string(control) + " " + (enabled ? "1" : "0"));
  enabled_[control] = enabled;
}

void FakeWindowToolkit::SetChecked(int control, bool checked) {
  log_->Add("SetChecked " + std::to_string(control) + " " + (checked ? "1" : "0"));
  checked_[control] = checked;
}

bool FakeWindowToolkit::IsChecked(int control) {
  log_->Add("IsChecked " + std::to_string(control));
  return checked(control);
}

WindowEvent FakeWindowToolkit::NextEvent() {
  if (events_.empty()) {
    // A run that waits for more than the test gave it: end it through Cancel, and say so.
    log_->Add("NextEvent (no more events)");
    return {WindowEvent::Kind::kControl, kCancelButton, kMainWindow};
  }
  Queued queued = events_.front();
  events_.pop_front();
  if (queued.toggle && visible(queued.event.control) && enabled(queued.event.control)) {
    checked_[queued.event.control] = !checked(queued.event.control);
  }
  log_->Add("NextEvent " + std::to_string(queued.event.control));
  return queued.event;
}

void FakeWindowToolkit::CloseMainWindow() {
  log_->Add("CloseMainWindow");
  window_open_ = false;
}

}  // namespace uninstall
