#include "shell/uninstall_entry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_registry.h"
#include "fakes/fake_window_toolkit.h"
#include "fakes/status_bar_progress.h"

namespace uninstall {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr char kEntry[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{App}";
constexpr const char* kSevenValues[] = {"DisplayName",    "DisplayIcon", "Publisher",
                                        "URLInfoAbout",   "HelpLink",    "Contact",
                                        "UninstallString"};

class UninstallEntryTest : public ::testing::Test {
 protected:
  void AddFullEntry() {
    for (const char* value : kSevenValues) registry_.SetValue(kLocalMachine, kEntry, value);
    registry_.SetValue(kLocalMachine, kEntry, "EstimatedSize");
  }

  CallLog log_;
  FakeRegistry registry_{&log_};
  FakeWindowToolkit windows_{&log_};
  StatusBarProgress progress_{windows_};
};

TEST_F(UninstallEntryTest, EmptyNameDoesNothing) {
  RemoveUninstallEntry(registry_, "", progress_);
  EXPECT_THAT(log_.entries(), IsEmpty());
}

TEST_F(UninstallEntryTest, MissingEntryLeavesTheRegistryAsItWas) {
  registry_.SetValue(kLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\X",
                     "DisplayName");
  const std::vector<std::string> before = registry_.Dump();
  RemoveUninstallEntry(registry_, "{App}", progress_);
  EXPECT_EQ(registry_.Dump(), before);
  EXPECT_THAT(log_.Matching("SetStatusText"),
              ElementsAre(std::string("SetStatusText   ") + kEntry));
  // The status text comes first, then the seven values in order, then the key.
  EXPECT_EQ(log_.entries().front(), std::string("SetStatusText   ") + kEntry);
  std::vector<std::string> expected;
  for (const char* value : kSevenValues) expected.push_back(std::string("DeleteValue ") + value);
  expected.push_back(std::string("DeleteKey ") + kEntry);
  std::vector<std::string> deletions = log_.Matching("Delete");
  EXPECT_EQ(deletions, expected);
  EXPECT_THAT(log_.Matching("CreateKey 80000002 "), ::testing::SizeIs(7));
}

TEST_F(UninstallEntryTest, FurtherValuesGoWithTheKey) {
  AddFullEntry();
  RemoveUninstallEntry(registry_, "{App}", progress_);
  EXPECT_FALSE(registry_.HasKey(kLocalMachine, kEntry));
  EXPECT_TRUE(
      registry_.HasKey(kLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
}

TEST_F(UninstallEntryTest, SubkeyKeepsTheKeyWithoutTheSevenValues) {
  AddFullEntry();
  registry_.AddKey(kLocalMachine, std::string(kEntry) + "\\Sub");
  RemoveUninstallEntry(registry_, "{App}", progress_);
  for (const char* value : kSevenValues)
    EXPECT_FALSE(registry_.HasValue(kLocalMachine, kEntry, value));
  EXPECT_TRUE(registry_.HasValue(kLocalMachine, kEntry, "EstimatedSize"));
  EXPECT_TRUE(registry_.HasKey(kLocalMachine, std::string(kEntry) + "\\Sub"));
}

TEST_F(UninstallEntryTest, NameWithBackslashRemovesOnlyTheDeepestKey) {
  registry_.SetValue(kLocalMachine, std::string(kEntry) + "\\B", "DisplayName");
  RemoveUninstallEntry(registry_, "{App}\\B", progress_);
  EXPECT_FALSE(registry_.HasKey(kLocalMachine, std::string(kEntry) + "\\B"));
  EXPECT_TRUE(registry_.HasKey(kLocalMachine, kEntry));
}

}  // namespace
}  // namespace uninstall
