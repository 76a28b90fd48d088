// One ordered log shared by every fake, so a test can check the order of a whole run.
#ifndef UNINSTALL_TESTS_FAKES_CALL_LOG_H_
#define UNINSTALL_TESTS_FAKES_CALL_LOG_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace uninstall {

class CallLog {
 public:
  // Records a platform call; true when this call is to fail (FailCall).
  bool Add(std::string entry) {
    entries_.push_back(std::move(entry));
    ++calls_;
    if (before_call) before_call(calls_);
    return calls_ == fail_at_ || (die_at_ > 0 && calls_ >= die_at_);
  }
  const std::vector<std::string>& entries() const { return entries_; }
  // Empties the log and counts the calls from 1 again.
  void Clear() {
    entries_.clear();
    calls_ = 0;
  }
  // Fault injection: the call numbered `call` from the last Clear fails with that call's failure
  // result; 0 makes no call fail. How many calls there were tells how far to go.
  void FailCall(std::int64_t call) { fail_at_ = call; }
  std::int64_t calls() const { return calls_; }
  // The process dies at the call numbered `call` from the last Clear: that call and every one
  // after it fail, with no effect at all; 0 lets it live.
  void DieAt(std::int64_t call) { die_at_ = call; }
  // Runs before the call numbered as given (from the last Clear) does anything: another
  // program acting while the one under test runs.
  std::function<void(std::int64_t call)> before_call;
  // The entries that begin with `prefix`, in order.
  std::vector<std::string> Matching(const std::string& prefix) const {
    std::vector<std::string> result;
    for (const auto& entry : entries_) {
      if (entry.compare(0, prefix.size(), prefix) == 0) result.push_back(entry);
    }
    return result;
  }
  // Where the first entry that begins with `prefix` stands; the log's size when none does.
  std::size_t Position(const std::string& prefix) const {
    std::size_t at = 0;
    while (at < entries_.size() && entries_[at].compare(0, prefix.size(), prefix) != 0) ++at;
    return at;
  }

 private:
  std::vector<std::string> entries_;
  std::int64_t calls_ = 0;
  std::int64_t fail_at_ = 0;
  std::int64_t die_at_ = 0;
};

}  // namespace uninstall

#endif  // UNINSTALL_TESTS_FAKES_CALL_LOG_H_
