#include "shell/task_entry.h"

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

std::uint32_t TaskNumber(const std::string& field) {
  std::size_t i = 0;
  while (i < field.size() && (field[i] == ' ' || field[i] == '\t')) ++i;
  bool negative = false;
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) {
    negative = field[i] == '-';
    ++i;
  }
  // Unsigned arithmetic wraps, so 2147483649 and -2147483647 both give 0x80000001.
  std::uint32_t value = 0;
  for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
    value = value * 10 + static_cast<std::uint32_t>(field[i] - '0');
  }
  return negative ? 0u - value : value;
}

std::string TrimSpaces(const std::string& text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace uninstall
