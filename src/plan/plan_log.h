// The lines of a plan: one action of the planned uninstallation each, in the order the real run
// would act, in UTF-8.
#ifndef UNINSTALL_PLAN_PLAN_LOG_H_
#define UNINSTALL_PLAN_PLAN_LOG_H_

#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace uninstall {

class PlanLog {
 public:
  // `system` turns the code page's text into UTF-16.
  explicit PlanLog(FileSystem& system) : system_(system) {}

  // "action text", the text in the system's 8-bit code page.
  void Add(std::string_view action, const std::string& text);
  void Add(std::string_view action, std::u16string_view text);
  const std::vector<std::string>& lines() const { return lines_; }
  bool Has(std::string_view line_start) const;

 private:
  FileSystem& system_;
  std::vector<std::string> lines_;
};

}  // namespace uninstall

#endif  // UNINSTALL_PLAN_PLAN_LOG_H_
