#include "plan/plan_log.h"

#include "names/encodings.h"

namespace uninstall {

void PlanLog::Add(std::string_view action, const std::string& text) {
  std::u16string wide;
  // Text that is no text of the code page is shown as its bytes.
  if (!system_.WidenName(text, &wide)) {
    lines_.push_back(std::string(action) + " " + text);
    return;
  }
  Add(action, wide);
}

void PlanLog::Add(std::string_view action, std::u16string_view text) {
  lines_.push_back(std::string(action) + " " + Utf8Of(text));
}

bool PlanLog::Has(std::string_view line_start) const {
  for (const std::string& line : lines_) {
    if (line.compare(0, line_start.size(), line_start) == 0) return true;
  }
  return false;
}

}  // namespace uninstall
