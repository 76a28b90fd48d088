// The two registry deletions over the real Win32 registry. Every test works below a key of its
// own under HKEY_CURRENT_USER\Software that the fixture makes and removes with plain Win32
// calls, so that cleaning up never depends on the code under test.
#include <windows.h>

#include <string>

#include "gtest/gtest.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_registry_view.h"
#include "shell/registry_deletion.h"

namespace uninstall {
namespace {

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = "Software\\UninstallTests_" + std::to_string(GetCurrentProcessId());
    RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str());
    ASSERT_TRUE(MakeKey(""));
  }

  void TearDown() override {
    EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str()), ERROR_SUCCESS);
    RegDeleteKeyA(HKEY_CURRENT_USER, base_.c_str());
    EXPECT_FALSE(Exists("")) << "left behind";
  }

  // `relative` below the test's key; "" is the key itself.
  std::string At(const std::string& relative) const {
    return relative.empty() ? base_ : base_ + "\\" + relative;
  }

  bool MakeKey(const std::string& relative) {
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_CURRENT_USER, At(relative).c_str(), &key) != ERROR_SUCCESS) {
      return false;
    }
    RegCloseKey(key);
    return true;
  }

  // Sets a string value; "" names the default value.
  bool SetValue(const std::string& relative, const std::string& name, const std::string& data) {
    return RegSetKeyValueA(HKEY_CURRENT_USER, At(relative).c_str(), name.c_str(), REG_SZ,
                           data.c_str(), static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
  }

  bool Exists(const std::string& relative) const {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, At(relative).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
      return false;
    }
    RegCloseKey(key);
    return true;
  }

  bool HasValue(const std::string& relative, const std::string& name) const {
    return RegGetValueA(HKEY_CURRENT_USER, At(relative).c_str(), name.c_str(), RRF_RT_ANY, nullptr,
                        nullptr, nullptr) == ERROR_SUCCESS;
  }

  // Number of subkeys and values of the key, as "subkeys/values"; "none" when it is missing.
  std::string Contents(const std::string& relative) const {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, At(relative).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
      return "none";
    }
    DWORD subkeys = 0;
    DWORD values = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return std::to_string(subkeys) + "/" + std::to_string(values);
  }

  Win32Registry registry_;
  std::string base_;
};

TEST_F(RegistryTest, ValueDeletionCreatesAMissingKeyAndLeavesItEmpty) {
  EXPECT_FALSE(DeleteRegistryValue(registry_, kCurrentUser, At("New\\Deep"), "V"));
  EXPECT_EQ(Contents("New"), "1/0");
  EXPECT_EQ(Contents("New\\Deep"), "0/0");
}

TEST_F(RegistryTest, EmptyNameIsTheDefaultValue) {
  ASSERT_TRUE(SetValue("K", "", "default"));
  ASSERT_TRUE(SetValue("K", "Named", "named"));
  EXPECT_TRUE(DeleteRegistryValue(registry_, kCurrentUser, At("K"), ""));
  EXPECT_FALSE(HasValue("K", ""));
  EXPECT_TRUE(HasValue("K", "Named"));
  EXPECT_FALSE(DeleteRegistryValue(registry_, kCurrentUser, At("K"), ""));
  // Value names ignore case, as key names do.
  EXPECT_TRUE(DeleteRegistryValue(registry_, kCurrentUser, At("k"), "NAMED"));
  EXPECT_EQ(Contents("K"), "0/0");
}

TEST_F(RegistryTest, KeyDeletionTakesTheValuesButNeverAKeyWithSubkeys) {
  ASSERT_TRUE(SetValue("Parent", "P", "p"));
  ASSERT_TRUE(SetValue("Parent\\Child", "C", "c"));
  EXPECT_FALSE(DeleteRegistryKey(registry_, kCurrentUser, At("Parent")));
  EXPECT_EQ(Contents("Parent"), "1/1");
  EXPECT_TRUE(DeleteRegistryKey(registry_, kCurrentUser, At("Parent\\Child")));
  EXPECT_TRUE(DeleteRegistryKey(registry_, kCurrentUser, At("PARENT")));
  EXPECT_FALSE(Exists("Parent"));
  EXPECT_FALSE(DeleteRegistryKey(registry_, kCurrentUser, At("Parent")));
}

// Observed under Wine: a trailing backslash in the key path names the same key as without it.
TEST_F(RegistryTest, KeyPathWithTrailingBackslashNamesTheKey) {
  ASSERT_TRUE(MakeKey("Product\\{G}"));
  EXPECT_FALSE(DeleteRegistryKey(registry_, kCurrentUser, At("Product\\")));
  EXPECT_TRUE(Exists("Product\\{G}"));
  EXPECT_TRUE(DeleteRegistryKey(registry_, kCurrentUser, At("Product\\{G}")));
  EXPECT_TRUE(DeleteRegistryKey(registry_, kCurrentUser, At("Product\\")));
  EXPECT_FALSE(Exists("Product"));
}

TEST_F(RegistryTest, StringValuesAreReadAndOtherKindsTold) {
  ASSERT_TRUE(SetValue("ext", "", "OtherApp.Document"));
  ASSERT_TRUE(SetValue("ext", "Empty", ""));
  const DWORD number = 7;
  ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, At("ext").c_str(), "Number", REG_DWORD, &number,
                            sizeof(number)),
            ERROR_SUCCESS);
  Win32Registry registry;
  std::string data = "unchanged";
  EXPECT_EQ(registry.ReadStringValue(kCurrentUser, At("ext"), "", &data), ValueRead::kString);
  EXPECT_EQ(data, "OtherApp.Document");
  EXPECT_EQ(registry.ReadStringValue(kCurrentUser, At("ext"), "Empty", &data), ValueRead::kString);
  EXPECT_EQ(data, "");
  EXPECT_EQ(registry.ReadStringValue(kCurrentUser, At("ext"), "Number", &data), ValueRead::kOther);
  EXPECT_EQ(registry.ReadStringValue(kCurrentUser, At("ext"), "Missing", &data),
            ValueRead::kMissing);
  EXPECT_EQ(registry.ReadStringValue(kCurrentUser, At("missing"), "", &data), ValueRead::kMissing);
}

// What a plan reads beyond the removal: keys, values of any kind and subkeys, without creating.
TEST_F(RegistryTest, TheViewOfAPlanReadsWithoutCreating) {
  ASSERT_TRUE(SetValue("Key", "", "d"));
  ASSERT_TRUE(MakeKey("Key\\One"));
  ASSERT_TRUE(MakeKey("Key\\Two"));
  const DWORD number = 7;
  ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, At("Key").c_str(), "N", REG_DWORD, &number,
                            sizeof(number)),
            ERROR_SUCCESS);
  Win32RegistryView view;
  EXPECT_TRUE(view.KeyExists(kCurrentUser, At("KEY")));
  EXPECT_FALSE(view.KeyExists(kCurrentUser, At("Missing")));
  EXPECT_FALSE(Exists("Missing"));
  EXPECT_TRUE(view.ValueExists(kCurrentUser, At("Key"), ""));
  EXPECT_TRUE(view.ValueExists(kCurrentUser, At("Key"), "n"));
  EXPECT_FALSE(view.ValueExists(kCurrentUser, At("Key"), "Other"));
  EXPECT_FALSE(view.ValueExists(kCurrentUser, At("Missing"), ""));
  EXPECT_EQ(view.SubkeyNames(kCurrentUser, At("Key")), (std::vector<std::string>{"One", "Two"}));
  EXPECT_TRUE(view.SubkeyNames(kCurrentUser, At("Missing")).empty());
}

}  // namespace
}  // namespace uninstall
