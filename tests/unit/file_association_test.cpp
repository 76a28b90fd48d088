#include "shell/file_association.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_registry.h"

namespace uninstall {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::uint32_t kNewerVersion = 0x1DB10106;  // bits 16 to 23: 0xB1
constexpr std::uint32_t kOlderVersion = 0xC0000A04;  // bits 16 to 23: zero

class FileAssociationTest : public ::testing::Test {
 protected:
  // The log without the CloseKey lines, which every step has.
  std::vector<std::string> Calls() const {
    std::vector<std::string> calls;
    for (const auto& entry : log_.entries()) {
      if (entry != "CloseKey") calls.push_back(entry);
    }
    return calls;
  }

  void Value(const std::string& root, const std::string& path, const std::string& name) {
    expected_.push_back("CreateKey " + root + " " + path);
    expected_.push_back("DeleteValue " + name);
  }
  void Key(const std::string& root, const std::string& path) {
    expected_.push_back("ConnectRegistry \"\" " + root);
    expected_.push_back("DeleteKey " + path);
  }

  // The parent keys every system has; only what lies below them is the association's.
  void AddSystemKeys() {
    registry_.AddKey(kClassesRoot, "Applications");
    registry_.AddKey(kCurrentUser, kFileExts);
    registry_.AddKey(kLocalMachine, "Software\\Classes");
  }

  static constexpr char kFileExts[] =
      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";
  CallLog log_;
  FakeRegistry registry_{&log_};
  std::vector<std::string> expected_{"VersionWord"};
};

TEST_F(FileAssociationTest, ApplicationsLayoutRunsItsStepsInOrder) {
  registry_.version_word = 0x00280000;
  AddSystemKeys();
  const std::vector<std::string> before = registry_.Dump();
  RemoveFileAssociation(registry_, "txt", "sample.exe");
  const std::string cr = "80000000";
  const std::string fileexts = std::string(kFileExts) + "\\.txt";
  Value(cr, "Applications\\sample.exe\\shell\\open\\command", "");
  Key(cr, "Applications\\sample.exe\\shell\\open\\command");
  Key(cr, "Applications\\sample.exe\\shell\\open");
  Key(cr, "Applications\\sample.exe\\shell");
  Key(cr, "Applications\\sample.exe");
  Value(cr, "txt_auto_file\\DefaultIcon", "");
  Key(cr, "txt_auto_file\\DefaultIcon");
  Value(cr, "txt_auto_file", "");
  Key(cr, "txt_auto_file");
  Value(cr, ".txt", "");
  Key(cr, ".txt");
  Value("80000001", fileexts, "Application");
  Key("80000001", fileexts);
  EXPECT_EQ(Calls(), expected_);
  // Every key the value deletions created went again.
  EXPECT_EQ(registry_.Dump(), before);
}

TEST_F(FileAssociationTest, ClassesLayoutRunsItsStepsInOrder) {
  registry_.version_word = kOlderVersion;
  AddSystemKeys();
  const std::vector<std::string> before = registry_.Dump();
  RemoveFileAssociation(registry_, "txt", "sample.exe");
  const std::string lm = "80000002";
  Value(lm, "Software\\Classes\\.txt", "");
  Key(lm, "Software\\Classes\\.txt");
  Value(lm, "Software\\Classes\\sample.exe\\DefaultIcon", "");
  Key(lm, "Software\\Classes\\sample.exe\\DefaultIcon");
  Value(lm, "Software\\Classes\\sample.exe\\shell\\open\\command", "");
  Key(lm, "Software\\Classes\\sample.exe\\shell\\open\\command");
  Key(lm, "Software\\Classes\\sample.exe\\shell\\open");
  Key(lm, "Software\\Classes\\sample.exe\\shell");
  Value(lm, "Software\\Classes\\sample.exe", "");
  Key(lm, "Software\\Classes\\sample.exe");
  EXPECT_EQ(Calls(), expected_);
  EXPECT_EQ(registry_.Dump(), before);
}

TEST_F(FileAssociationTest, EmptyArgumentTouchesNothing) {
  RemoveFileAssociation(registry_, "", "sample.exe");
  RemoveFileAssociation(registry_, "txt", "");
  EXPECT_THAT(log_.entries(), IsEmpty());
}

TEST_F(FileAssociationTest, ForeignSubkeysKeepTheirKeys) {
  registry_.version_word = kNewerVersion;
  registry_.SetValue(kClassesRoot, ".txt", "", "txt_auto_file");
  registry_.AddKey(kClassesRoot, ".txt\\ShellNew");
  registry_.SetValue(kClassesRoot, "Applications\\sample.exe\\shell\\open\\command", "", "x");
  registry_.SetValue(kClassesRoot, "Applications\\sample.exe\\shell\\edit\\command", "", "y");
  RemoveFileAssociation(registry_, "txt", "sample.exe");
  EXPECT_FALSE(registry_.HasValue(kClassesRoot, ".txt", ""));
  EXPECT_TRUE(registry_.HasKey(kClassesRoot, ".txt\\ShellNew"));
  EXPECT_FALSE(registry_.HasKey(kClassesRoot, "Applications\\sample.exe\\shell\\open"));
  EXPECT_TRUE(
      registry_.HasValue(kClassesRoot, "Applications\\sample.exe\\shell\\edit\\command", ""));
}

TEST_F(FileAssociationTest, ExtensionWithDotMissesTheRealKeysAndLeavesNothing) {
  registry_.version_word = kNewerVersion;
  registry_.SetValue(kClassesRoot, ".txt", "", "txtfile");
  AddSystemKeys();
  const std::vector<std::string> before = registry_.Dump();
  RemoveFileAssociation(registry_, ".txt", "sample.exe");
  EXPECT_EQ(registry_.Dump(), before);
  EXPECT_THAT(log_.Matching("DeleteKey ..txt"), ElementsAre("DeleteKey ..txt"));
}

}  // namespace
}  // namespace uninstall
