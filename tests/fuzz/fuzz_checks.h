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

// `bytes` as the uninstall.dat of a rich installation (tests/fakes/fake_world.h), removed in a
// whole quiet run and a whole window run with "delete all", each after its plan: "" when each
// plan changed nothing and each run ended with exit code 0, removed exactly what its plan said,
// left no handle open and deleted no file outside the installation that `bytes` does not name.
std::string CheckWholeRuns(std::string_view bytes);

}  // namespace uninstall

#endif  // UNINSTALL_TESTS_FUZZ_FUZZ_CHECKS_H_
