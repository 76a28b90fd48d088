#include "shell/registry_deletion.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_registry.h"

namespace uninstall {
namespace {

using ::testing::ElementsAre;

// A registry that refuses to open any key.
class RefusingRegistry : public FakeRegistry {
 public:
  using FakeRegistry::FakeRegistry;
  bool CreateKey(std::uint32_t, const std::string&, RegistryHandle*) override { return false; }
};

class RegistryDeletionTest : public ::testing::Test {
 protected:
  CallLog log_;
  FakeRegistry registry_{&log_};
};

TEST_F(RegistryDeletionTest, ValueDeletionOpensDeletesAndCloses) {
  registry_.SetValue(kCurrentUser, "Software\\A", "", "default");
  registry_.SetValue(kCurrentUser, "Software\\A", "Named");
  EXPECT_TRUE(DeleteRegistryValue(registry_, kCurrentUser, "software\\a", ""));
  EXPECT_FALSE(DeleteRegistryValue(registry_, kCurrentUser, "Software\\A", ""));
  EXPECT_TRUE(registry_.HasValue(kCurrentUser, "Software\\A", "Named"));
  EXPECT_THAT(log_.entries(),
              ElementsAre("CreateKey 80000001 software\\a", "DeleteValue ", "CloseKey",
                          "CreateKey 80000001 Software\\A", "DeleteValue ", "CloseKey"));
  EXPECT_EQ(registry_.open_handles(), 0);
}

TEST_F(RegistryDeletionTest, ValueDeletionLeavesAMissingKeyCreatedAndEmpty) {
  EXPECT_FALSE(DeleteRegistryValue(registry_, 0x80000005, "New\\Deep", "V"));
  EXPECT_THAT(registry_.Dump(), ElementsAre("80000005\\New", "80000005\\New\\Deep"));
}

TEST_F(RegistryDeletionTest, ValueDeletionStopsWhenTheKeyCannotBeOpened) {
  RefusingRegistry refusing(&log_);
  EXPECT_FALSE(DeleteRegistryValue(refusing, kLocalMachine, "Software\\A", "V"));
  EXPECT_TRUE(log_.entries().empty());
}

TEST_F(RegistryDeletionTest, KeyDeletionTakesValuesButNeverSubkeys) {
  registry_.SetValue(kLocalMachine, "Software\\Parent\\Child", "V");
  registry_.SetValue(kLocalMachine, "Software\\Parent", "P");
  EXPECT_FALSE(DeleteRegistryKey(registry_, kLocalMachine, "Software\\Parent"));
  EXPECT_TRUE(registry_.HasValue(kLocalMachine, "Software\\Parent", "P"));
  EXPECT_TRUE(DeleteRegistryKey(registry_, kLocalMachine, "Software\\Parent\\Child"));
  EXPECT_TRUE(DeleteRegistryKey(registry_, kLocalMachine, "Software\\Parent"));
  EXPECT_FALSE(DeleteRegistryKey(registry_, kLocalMachine, "Software\\Parent"));
  EXPECT_THAT(registry_.Dump(), ElementsAre("80000002\\Software"));
  // Every deletion opens the local root by the empty computer name and closes it again.
  std::vector<std::string> first(log_.entries().begin(), log_.entries().begin() + 3);
  EXPECT_THAT(first, ElementsAre("ConnectRegistry \"\" 80000002", "DeleteKey Software\\Parent",
                                 "CloseKey"));
  EXPECT_EQ(log_.Matching("CloseKey").size(), 4u);
  EXPECT_EQ(registry_.open_handles(), 0);
}

}  // namespace
}  // namespace uninstall
