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
  int inputs = 0;
  for (const char* folder : {"/corpus/description", "/regressions/description"}) {
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(UNINSTALL_FUZZ_DIR) + folder)) {
      EXPECT_EQ(CheckDescription(Contents(entry.path())), "") << entry.path();
      ++inputs;
    }
  }
  EXPECT_GE(inputs, 2);
}

}  // namespace
}  // namespace uninstall
