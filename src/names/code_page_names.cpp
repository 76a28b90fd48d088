#include "names/code_page_names.h"

#include "names/encodings.h"
#include "names/name_case.h"

namespace uninstall {

bool CodePageNames::WidenName(const std::string& text, std::u16string* wide) {
  if (!IsKnownCodePage(code_page_)) return false;
  *wide = WidenedFrom(code_page_, text);
  return true;
}

bool CodePageNames::NarrowName(std::u16string_view wide, std::string* text) {
  std::optional<std::string> narrow = NarrowedTo(code_page_, wide);
  if (!narrow) return false;
  *text = std::move(*narrow);
  return true;
}

bool CodePageNames::SameFileName(std::u16string_view a, std::u16string_view b) {
  return SameNameIgnoringCase(a, b);
}

}  // namespace uninstall
