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
  void Read(const std::string& root, const std::string& path, const std::string& name) {
    expected_.push_back("ReadValue " + root + " " + path + " \"" + name + "\"");
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
  Read(cr, ".txt", "");
  Read("80000001", fileexts, "Application");
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
  Read(lm, "Software\\Classes\\.txt", "");
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

// The extension, and the current user's choice for it, stay with a program that has taken them
// over since; what names this program, or nothing, goes. The program's own registration goes in
// every case.
TEST_F(FileAssociationTest, AnExtensionAnotherProgramHoldsStaysWithIt) {
  const std::string fileexts = std::string(kFileExts) + "\\.tsty";
  struct Row {
    std::uint32_t version;
    const char* extension_value;  // nullptr: no value
    const char* user_choice;      // nullptr: no value
    bool fail_read;               // the first read fails
    bool extension_goes, choice_goes;
  };
  for (const Row& row : {
           Row{kNewerVersion, "OtherApp.Document", "Other.exe", false, false, false},
           Row{kNewerVersion, "TSTY_auto_file", "testapp.exe", false, true, true},
           Row{kNewerVersion, "", nullptr, false, true, true},
           Row{kNewerVersion, nullptr, "", false, true, true},
           Row{kNewerVersion, "tsty_auto_file", "Other.exe", false, true, false},
           // A value that cannot be read (here the extension's) counts as somebody else's.
           Row{kNewerVersion, "tsty_auto_file", "TestApp.exe", true, false, true},
           // The older layout never touches the current user's choice.
           Row{kOlderVersion, "OtherApp.Document", nullptr, false, false, false},
           Row{kOlderVersion, "testapp.EXE", nullptr, false, true, false},
       }) {
    const bool classes = row.version == kOlderVersion;
    const std::uint32_t root = classes ? kLocalMachine : kClassesRoot;
    const std::string extension_key = classes ? "Software\\Classes\\.tsty" : ".tsty";
    const std::string own_key = classes ? "Software\\Classes\\TestApp.exe" : "tsty_auto_file";
    registry_ = FakeRegistry(&log_);
    registry_.version_word = row.version;
    registry_.AddKey(root, extension_key);
    if (row.extension_value != nullptr) {
      registry_.SetValue(root, extension_key, "", row.extension_value);
    }
    registry_.AddKey(kCurrentUser, fileexts);
    if (row.user_choice != nullptr) {
      registry_.SetValue(kCurrentUser, fileexts, "Application", row.user_choice);
    }
    registry_.SetValue(root, own_key, "", "TestApp");
    log_.Clear();
    log_.FailCall(row.fail_read ? 2 : 0);  // after VersionWord
    RemoveFileAssociation(registry_, "tsty", "TestApp.exe");
    log_.FailCall(0);
    const std::string trace = std::string(row.extension_value ? row.extension_value : "(none)") +
                              " / " + (row.user_choice ? row.user_choice : "(none)");
    EXPECT_EQ(registry_.HasKey(root, extension_key), !row.extension_goes) << trace;
    if (!row.extension_goes && row.extension_value != nullptr) {
      EXPECT_TRUE(registry_.HasValue(root, extension_key, "")) << trace;
    }
    EXPECT_EQ(registry_.HasKey(kCurrentUser, fileexts), !row.choice_goes) << trace;
    EXPECT_FALSE(registry_.HasKey(root, own_key)) << trace;
  }
}

}  // namespace
}  // namespace uninstall
