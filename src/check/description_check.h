// The checks of uninstall.dat for installer authors: the traps of the format, each found at its
// line, as errors (the uninstaller removes less than meant, or refuses a value) or warnings
// (legal, but probably not meant).
#ifndef UNINSTALL_CHECK_DESCRIPTION_CHECK_H_
#define UNINSTALL_CHECK_DESCRIPTION_CHECK_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_names.h"

namespace uninstall {

struct Finding {
  std::size_t line;  // from 1; 0 for the file as a whole
  bool error;
  std::string text;
};

// Checks the bytes of an uninstall.dat. `uninstaller_dir` is the directory the file lies in, with
// its final backslash, as the uninstaller would see it; "" when that is not known (a check away
// from the installed machine), which leaves out the checks that depend on it. File names are
// read and compared by `names`, as the uninstaller's system reads and compares them.
std::vector<Finding> CheckDescription(std::string_view bytes, const std::string& uninstaller_dir,
                                      FileNames& names);

// One line per finding, "FILE:LINE: error: TEXT" or "FILE:LINE: warning: TEXT", then
// "N errors, M warnings".
std::string FindingsReport(const std::string& file, const std::vector<Finding>& findings);

// 0 with nothing to report, 1 with warnings only, 2 with an error.
int FindingsExitCode(const std::vector<Finding>& findings);

}  // namespace uninstall

#endif  // UNINSTALL_CHECK_DESCRIPTION_CHECK_H_
