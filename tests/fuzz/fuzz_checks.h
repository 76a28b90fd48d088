// What the fuzzers run for one input, and what they check. The fuzz targets stop at the first
// problem; the unit tests replay every input the fuzzers once found (tests/fuzz/regressions).
#ifndef UNINSTALL_TESTS_FUZZ_FUZZ_CHECKS_H_
#define UNINSTALL_TESTS_FUZZ_FUZZ_CHECKS_H_

#include <string>
#include <string_view>

namespace uninstall {

// `bytes` as uninstall.dat, read and interpreted the way every step of a run does it: the
// settings, the texts, each group's values, the task entries and link names. "" when all is
// well; else what went wrong.
std::string CheckDescription(std::string_view bytes);

}  // namespace uninstall

#endif  // UNINSTALL_TESTS_FUZZ_FUZZ_CHECKS_H_
