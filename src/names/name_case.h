// Letter case in file names as Windows' file systems see it: each UTF-16 unit upper-cased by one
// table (Unicode's simple upper-case mappings in the basic plane that map back in lower case),
// the names then compared unit by unit. The program on Windows asks the system itself
// (CompareStringOrdinal); this table is the same rule for the tests' file system, the plan's
// picture of the disk and the checker away from Windows.
#ifndef UNINSTALL_NAMES_NAME_CASE_H_
#define UNINSTALL_NAMES_NAME_CASE_H_

#include <string>
#include <string_view>

namespace uninstall {

char16_t UpcasedNameUnit(char16_t unit);

std::u16string UpcasedName(std::u16string_view name);

// Whether `a` and `b` are one name to the file system: the same length, each unit the same once
// upper-cased.
bool SameNameIgnoringCase(std::u16string_view a, std::u16string_view b);

}  // namespace uninstall

#endif  // UNINSTALL_NAMES_NAME_CASE_H_
