// Every input the fuzzers start from or once found a fault with, through the same checks.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "fuzz/fuzz_checks.h"

namespace uninstall {
namespace {

std::string Contents(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(FuzzRegressionsTest, EveryKeptInputPassesTheChecks) {
  const struct {
    const char* target;
    std::string (*check)(std::string_view);
  } targets[] = {{"description", CheckDescription}, {"whole_run", CheckWholeRuns}};
  for (const auto& target : targets) {
    int inputs = 0;
    for (const char* kind : {"/corpus/", "/regressions/"}) {
      const std::string folder = std::string(UNINSTALL_FUZZ_DIR) + kind + target.target;
      for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        EXPECT_EQ(target.check(Contents(entry.path())), "") << entry.path();
        ++inputs;
      }
    }
    EXPECT_GE(inputs, 2) << target.target;
  }
}

}  // namespace
}  // namespace uninstall
