#include "shell/task_entry.h"

#include "common/text.h"

namespace uninstall {

std::string TaskField(const std::string& entry, int index) {
  std::size_t start = 0;
  for (int field = 1; field < index; ++field) {
    std::size_t separator = entry.find('|', start);
    if (separator == std::string::npos) return "";
    start = separator + 1;
  }
  std::size_t end = entry.find('|', start);
  return entry.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::uint32_t TaskNumber(const std::string& field) { return DecimalNumber(field, kBlanks); }

std::string TrimSpaces(const std::string& text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace uninstall
