// The constants put in front of an uninstall script, and the file-name extension that chooses
// the script's language.
#ifndef UNINSTALL_EXTERNAL_SCRIPT_HEADER_H_
#define UNINSTALL_EXTERNAL_SCRIPT_HEADER_H_

#include <string>

#include "platform/launcher.h"

namespace uninstall {

// The text after the last dot of `path`, unless a backslash or slash follows that dot, up to a
// double quote or the end, lower-cased ("" when there is none).
std::string ScriptExtension(const std::string& path);

// The three constant lines for the extension "vbs" or "js", each ending with CR LF, the values
// written as string literals of that language; "" for any other extension.
std::string ScriptHeader(const std::string& extension, const ScriptConstants& constants);

}  // namespace uninstall

#endif  // UNINSTALL_EXTERNAL_SCRIPT_HEADER_H_
