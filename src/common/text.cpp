#include "common/text.h"

namespace uninstall {

std::string ReplaceAll(std::string text, std::string_view marker, std::string_view replacement) {
  if (marker.empty()) return text;
  std::size_t position = text.find(marker);
  while (position != std::string::npos) {
    text.replace(position, marker.size(), replacement);
    position = text.find(marker, position + replacement.size());
  }
  return text;
}

std::uint32_t DecimalNumber(std::string_view text, std::string_view leading_space) {
  std::size_t i = 0;
  while (i < text.size() && leading_space.find(text[i]) != std::string_view::npos) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  std::uint32_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
  }
  return negative ? 0u - value : value;
}

}  // namespace uninstall
