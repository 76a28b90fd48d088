// The one command-line parameter the uninstaller looks at.
#ifndef UNINSTALL_DRIVER_COMMAND_LINE_H_
#define UNINSTALL_DRIVER_COMMAND_LINE_H_

#include <string>

namespace uninstall {

// The first parameter after the program's own name; "" when there is none. Parameters are
// separated by spaces; one that begins with a double quote runs to the next double quote,
// without the quotes.
std::string FirstParameter(const std::string& command_line);
// The parameter after that one, read the same way (the second instance that runs the uninstall
// script reads it); "" when there is none.
std::string SecondParameter(const std::string& command_line);

// Quiet mode: the parameter begins with exactly "/Q" (so /Quiet counts, /q does not).
bool IsQuietMode(const std::string& first_parameter);

}  // namespace uninstall

#endif  // UNINSTALL_DRIVER_COMMAND_LINE_H_
