// One ordered log shared by every fake, so a test can check the order of a whole run.
#ifndef UNINSTALL_TESTS_FAKES_CALL_LOG_H_
#define UNINSTALL_TESTS_FAKES_CALL_LOG_H_

#include <string>
#include <vector>

namespace uninstall {

class CallLog {
 public:
  void Add(std::string entry) { entries_.push_back(std::move(entry)); }
  const std::vector<std::string>& entries() const { return entries_; }
  void Clear() { entries_.clear(); }
  // The entries that begin with `prefix`, in order.
  std::vector<std::string> Matching(const std::string& prefix) const {
    std::vector<std::string> result;
    for (const auto& entry : entries_) {
      if (entry.compare(0, prefix.size(), prefix) == 0) result.push_back(entry);
    }
    return result;
  }

 private:
  std::vector<std::string> entries_;
};

}  // namespace uninstall

#endif  // UNINSTALL_TESTS_FAKES_CALL_LOG_H_
