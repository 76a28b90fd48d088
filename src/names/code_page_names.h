// File names as a system whose 8-bit code page is `code_page` reads them, compared by the file
// system's letter-case table: the rule of names where no Windows can be asked (the checker on
// other systems).
#ifndef UNINSTALL_NAMES_CODE_PAGE_NAMES_H_
#define UNINSTALL_NAMES_CODE_PAGE_NAMES_H_

#include <string>
#include <string_view>

#include "platform/file_names.h"

namespace uninstall {

class CodePageNames : public FileNames {
 public:
  explicit CodePageNames(unsigned code_page) : code_page_(code_page) {}

  bool WidenName(const std::string& text, std::u16string* wide) override;
  bool NarrowName(std::u16string_view wide, std::string* text) override;
  bool SameFileName(std::u16string_view a, std::u16string_view b) override;

 private:
  unsigned code_page_;
};

}  // namespace uninstall

#endif  // UNINSTALL_NAMES_CODE_PAGE_NAMES_H_
