#include "common/code_page_names.h"

#include "common/encodings.h"
#include "common/name_case.h"

namespace uninstall {

bool CodePageNames::WidenName(const std::string& text, std::u16string* wide) {
  if (!IsKnownCodePage(code_page_)) return false;
  *wide = WidenedFrom(code_page_, text);
  return true;
}

bool CodePageNames::SameFileName(std::u16string_view a, std::u16string_view b) {
  return SameNameIgnoringCase(a, b);
}

}  // namespace uninstall
