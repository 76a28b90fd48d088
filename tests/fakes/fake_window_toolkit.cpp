#include "fakes/fake_window_toolkit.h"

#include "fakes/handle_text.h"

namespace uninstall {
namespace {

template <typename Key, typename Value>
Value Lookup(const std::map<Key, Value>& values, Key key, Value default_value) {
  auto found = values.find(key);
  return found == values.end() ? default_value : found->second;
}

}  // namespace

void FakeWindowToolkit::QueueClick(int control, int window) {
  events_.push_back({{WindowEvent::Kind::kControl, control, window}, false, std::nullopt});
}

void FakeWindowToolkit::QueueCloseRequest(int window) {
  events_.push_back({{WindowEvent::Kind::kCloseRequest, 0, window}, false, std::nullopt});
}

void FakeWindowToolkit::QueueTyping(int control, const std::string& text, int window) {
  events_.push_back({{WindowEvent::Kind::kControl, control, window}, false, text});
}

void FakeWindowToolkit::QueueToggle(int control) {
  events_.push_back({{WindowEvent::Kind::kControl, control, kMainWindow}, true, std::nullopt});
}

bool FakeWindowToolkit::visible(int control) const {
  return Lookup(visible_, control, control != kReadyButton);
}

bool FakeWindowToolkit::enabled(int control) const { return Lookup(enabled_, control, true); }

bool FakeWindowToolkit::checked(int control) const { return Lookup(checked_, control, false); }

void FakeWindowToolkit::SetStatusText(const std::string& text) {
  log_->Add("SetStatusText " + text);
  bool has_status_bar = false;
  for (const auto& [number, description] : open_windows_) {
    if (description.status_bar_field_right > 0) has_status_bar = true;
  }
  if (has_status_bar) status_text_ = text;
}

void FakeWindowToolkit::SetProgress(int control, std::uint32_t position, std::uint32_t range) {
  log_->Add("SetProgress " + std::to_string(control) + " " + std::to_string(position) + "/" +
            std::to_string(range));
}

void FakeWindowToolkit::SetTaskbarState(int control, TaskbarState state) {
  log_->Add("SetTaskbarState " + std::to_string(control) + " " +
            std::to_string(static_cast<int>(state)));
}

void FakeWindowToolkit::LoadProgramIcon() { log_->Add("LoadProgramIcon"); }

void FakeWindowToolkit::ReleaseProgramIcon() { log_->Add("ReleaseProgramIcon"); }

void FakeWindowToolkit::ShowControl(int control, Visible visible) {
  log_->Add("ShowControl " + std::to_string(control) + " " +
            (visible == Visible::kYes ? "1" : "0"));
  visible_[control] = visible == Visible::kYes;
}

void FakeWindowToolkit::EnableControl(int control, Enabled enabled) {
  log_->Add("EnableControl " + std::to_string(control) + " " +
            (enabled == Enabled::kYes ? "1" : "0"));
  enabled_[control] = enabled == Enabled::kYes;
}

void FakeWindowToolkit::SetChecked(int control, Checked checked) {
  log_->Add("SetChecked " + std::to_string(control) + " " + (checked == Checked::kYes ? "1" : "0"));
  checked_[control] = checked == Checked::kYes;
}

bool FakeWindowToolkit::IsChecked(int control) {
  if (log_->Add("IsChecked " + std::to_string(control))) return false;
  return checked(control);
}

WindowEvent FakeWindowToolkit::NextEvent() {
  // A failed read of the queue ends it for good, as the platform's does.
  if (queue_ended_) {
    log_->Add("NextEvent (ended)");
    return {WindowEvent::Kind::kQueueEnded, 0, 0};
  }
  if (events_.empty()) {
    // A run that waits for more than the test gave it: the queue ends, and the log says so.
    log_->Add("NextEvent (no more events)");
    return {WindowEvent::Kind::kQueueEnded, 0, 0};
  }
  Queued queued = events_.front();
  events_.pop_front();
  if (queued.toggle && visible(queued.event.control) && enabled(queued.event.control)) {
    checked_[queued.event.control] = !checked(queued.event.control);
  }
  if (queued.typed) control_texts_[queued.event.control] = *queued.typed;
  if (log_->Add("NextEvent " + std::to_string(queued.event.control))) {
    queue_ended_ = true;
    return {WindowEvent::Kind::kQueueEnded, 0, 0};
  }
  return queued.event;
}

bool FakeWindowToolkit::OpenWindow(const WindowSpec& description) {
  if (log_->Add("OpenWindow " + std::to_string(description.number) + description.title) ||
      !window_can_open) {
    return false;
  }
  open_windows_[description.number] = description;
  opened_[description.number] = description;
  for (const ControlSpec& control : description.controls) {
    control_texts_[control.number] = control.text;
    visible_[control.number] = control.visible;
  }
  return true;
}

void FakeWindowToolkit::CloseWindow(int window) {
  log_->Add("CloseWindow " + std::to_string(window));
  open_windows_.erase(window);
}

std::string FakeWindowToolkit::ControlText(int control) {
  if (log_->Add("ControlText " + std::to_string(control))) return "";
  return Lookup(control_texts_, control, std::string());
}

void FakeWindowToolkit::SetControlText(int control, const std::string& text) {
  log_->Add("SetControlText " + std::to_string(control) + " " + text);
  control_texts_[control] = text;
}

void FakeWindowToolkit::HandlePaintAndSentMessages() { log_->Add("HandlePaintAndSentMessages"); }

std::uint32_t FakeWindowToolkit::Milliseconds() {
  log_->Add("Milliseconds");
  const std::uint32_t time = now;
  now += tick;
  return time;
}

int FakeWindowToolkit::MessageBoxWithOwner(WindowHandle owner, const std::string& text,
                                           const std::string& title, std::uint32_t flags) {
  if (log_->Add("MessageBox " + title + " | " + text + " | " + std::to_string(flags))) return 0;
  message_box_owners.push_back(owner);
  if (on_message_box) on_message_box(title);
  if (box_answers.empty()) return 1;
  const int answer = box_answers.front();
  box_answers.pop_front();
  return answer;
}

int FakeWindowToolkit::MessageBoxUntilEnded(WindowHandle owner, const std::string& text,
                                            const std::string& title, std::uint32_t flags,
                                            ProcessHandle running) {
  if (log_->Add("MessageBoxUntilEnded " + HandleText(running))) return 0;
  return MessageBoxWithOwner(owner, text, title, flags);
}

std::vector<WindowHandle> FakeWindowToolkit::TopLevelWindows() {
  if (log_->Add("TopLevelWindows")) return {};
  return top_level_windows;
}

std::uint32_t FakeWindowToolkit::ThreadOfWindow(WindowHandle window) {
  log_->Add("ThreadOfWindow " + HandleText(window));
  return Lookup(window_threads, window, std::uint32_t{0});
}

std::uint32_t FakeWindowToolkit::ProcessOfWindow(WindowHandle window) {
  log_->Add("ProcessOfWindow " + HandleText(window));
  return Lookup(window_processes, window, std::uint32_t{0});
}

std::uint32_t FakeWindowToolkit::CurrentThread() {
  log_->Add("CurrentThread");
  return current_thread;
}

std::uint32_t FakeWindowToolkit::CurrentProcess() {
  log_->Add("CurrentProcess");
  return current_process;
}

bool FakeWindowToolkit::IsWindowShown(WindowHandle window) {
  if (log_->Add("IsWindowShown " + HandleText(window))) return false;
  return Lookup(window_shown, window, false);
}

bool FakeWindowToolkit::IsWindowEnabledNow(WindowHandle window) {
  if (log_->Add("IsWindowEnabledNow " + HandleText(window))) return false;
  return Lookup(window_enabled, window, true);
}

WindowHandle FakeWindowToolkit::Foreground() {
  log_->Add("Foreground");
  return foreground;
}

void FakeWindowToolkit::EnableWindowHandle(WindowHandle window, Enabled enabled) {
  log_->Add("EnableWindowHandle " + HandleText(window) + " " +
            (enabled == Enabled::kYes ? "1" : "0"));
  window_enabled[window] = enabled == Enabled::kYes;
}

}  // namespace uninstall
