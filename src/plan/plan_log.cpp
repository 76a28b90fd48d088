#include "plan/plan_log.h"

namespace uninstall {

std::string Utf8Of(std::u16string_view text) {
  std::string utf8;
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::uint32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;  // half a pair
    }
    if (c < 0x80) {
      utf8 += static_cast<char>(c);
    } else if (c < 0x800) {
      utf8 += static_cast<char>(0xC0 | (c >> 6));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      utf8 += static_cast<char>(0xE0 | (c >> 12));
      utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      utf8 += static_cast<char>(0xF0 | (c >> 18));
      utf8 += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return utf8;
}

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
