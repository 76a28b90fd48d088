// Reading the entries of [UserTask]: "|"-separated fields and the numbers in them.
#ifndef UNINSTALL_SHELL_TASK_ENTRY_H_
#define UNINSTALL_SHELL_TASK_ENTRY_H_

#include <cstdint>
#include <string>

namespace uninstall {

// Kinds of user task; every other kind names a file.
inline constexpr std::uint32_t kTaskRegistryValue = 6;
inline constexpr std::uint32_t kTaskUnregisterDll = 9;
inline constexpr std::uint32_t kTaskFileAssociation = 10;

// Field `index` (from 1) of `entry`, unchanged; "" for a field past the last separator.
std::string TaskField(const std::string& entry, int index);

// A decimal number as the installer wrote it: leading blanks and tabs, an optional sign, then
// digits up to the first other character, wrapping modulo 2^32. No digits give 0.
std::uint32_t TaskNumber(const std::string& field);

// `text` without space characters at either end (tabs stay).
std::string TrimSpaces(const std::string& text);

}  // namespace uninstall

#endif  // UNINSTALL_SHELL_TASK_ENTRY_H_
