// Tests of the user texts.
#include "driver/text_table.h"

#include <gtest/gtest.h>

#include <string>

#include "description/description.h"
#include "fakes/call_log.h"
#include "fakes/fake_file_system.h"

namespace uninstall {
namespace {

const char kPath[] = "C:\\Program Files\\MyApp\\uninstall.dat";

// Every entry read from the Language group: its field, its key and its default.
const struct {
  std::string TextTable::*field;
  const char* key;
  const char* default_text;
} kLanguageTexts[] = {
    {&TextTable::titel, "Titel", "Uninstall Program"},
    {&TextTable::msg, "Msg", "Program files and registry entries will be removed."},
    {&TextTable::version, "Version", "Version"},
    {&TextTable::uninst_info, "UninstInfo", "Remove the following program from your computer:"},
    {&TextTable::del_all, "DelAll", "Delete all(!) files in the directory (including user files)."},
    {&TextTable::error, "Error", "Uninstalling program not possible."},
    {&TextTable::status, "Status", "Uninstalling completed."},
    {&TextTable::mutex, "Mutex", "Close Program '' first!|Then press OK!"},  // with no name
    {&TextTable::logon, "Logon", "Login as administrator"},
    {&TextTable::user, "User", "Username:"},
    {&TextTable::password, "Password", "Password:"},
    {&TextTable::rq_titel, "RQ_Titel", "Error - Login"},
    {&TextTable::rq_msg, "RQ_Msg", "Login failed."},
    {&TextTable::ok, "OK", "OK"},
    {&TextTable::cancel, "Cancel", "Cancel"},
    {&TextTable::ready, "Ready", "Ready"},
    {&TextTable::login, "Login", "Login"},
};

class TextTableTest : public ::testing::Test {
 protected:
  TextTableTest() : fs_(&log_) {}

  TextTable Load(const std::string& contents) {
    fs_.AddFile(kPath, contents);
    return LoadWithoutWriting();
  }

  TextTable LoadWithoutWriting() {
    TextTable texts;
    LoadTexts(Description(fs_, kPath), &texts);
    return texts;
  }

  // Every Language entry but `except` has its default.
  static void ExpectDefaults(const TextTable& texts, const std::string& except = "") {
    for (const auto& text : kLanguageTexts) {
      if (text.key == except) continue;
      EXPECT_EQ(texts.*text.field, text.default_text) << text.key;
    }
  }

  CallLog log_;
  FakeFileSystem fs_;
};

TEST_F(TextTableTest, MissingFileOrGroupsGiveEveryDefault) {
  for (const TextTable& texts :
       {LoadWithoutWriting(), Load("[Settings]\nVersion=\n[Other]\nTitel=x\n")}) {
    EXPECT_EQ(texts.prog_name, "");
    EXPECT_EQ(texts.name_with_version, "");
    ExpectDefaults(texts);
  }
  EXPECT_EQ(fs_.OpenHandles(), 0);
}

TEST_F(TextTableTest, EveryKeyOverridesItsDefault) {
  std::string contents = "[Settings]\r\nProgName=Prog\r\nVersion=1.0\r\n[Language]\r\n";
  for (const auto& text : kLanguageTexts) {
    contents += text.key + std::string("=<") + text.key + ">\r\n";
  }
  contents.insert(contents.find("<Mutex>") + 7, " $Titel");
  const TextTable texts = Load(contents);
  EXPECT_EQ(texts.prog_name, "Prog");
  EXPECT_EQ(texts.name_with_version, "Prog (<Version> 1.0)");
  EXPECT_EQ(texts.mutex, "<Mutex> Prog");
  for (const auto& text : kLanguageTexts) {
    if (text.field != &TextTable::mutex) {
      EXPECT_EQ(texts.*text.field, "<" + std::string(text.key) + ">") << text.key;
    }
  }
}

TEST_F(TextTableTest, PresentButEmptyKeyGivesAnEmptyTextNotTheDefault) {
  const char* const kEmptyForms[] = {"=", "   ", "=  \t "};
  for (std::size_t i = 0; i < sizeof(kLanguageTexts) / sizeof(kLanguageTexts[0]); ++i) {
    const auto& text = kLanguageTexts[i];
    const TextTable texts = Load(std::string("[Language]\n") + text.key + kEmptyForms[i % 3]);
    EXPECT_EQ(texts.*text.field, "") << text.key;
    ExpectDefaults(texts, text.key);  // only that entry changes
  }
}

TEST_F(TextTableTest, ProgramNameAndVersionSuffix) {
  const struct {
    std::string contents, prog_name, name_with_version;
  } cases[] = {
      {"[Settings]\r\nProgName=MyApp\r\nVersion=2.1\r\n", "MyApp", "MyApp (Version 2.1)"},
      {"[Settings]\nProgName=MyApp\nVersion=2.1\n[Language]\nVersion=Versie\n", "MyApp",
       "MyApp (Versie 2.1)"},
      {"[Settings]\nProgName=MyApp\nVersion=2.1\n[Language]\nVersion=\n", "MyApp", "MyApp ( 2.1)"},
      // An empty or missing version number gives no suffix.
      {"[Settings]\nProgName=MyApp\nVersion=\n", "MyApp", "MyApp"},
      {"[Settings]\nProgName=MyApp\nVersion=   \n", "MyApp", "MyApp"},
      {"[Settings]\nProgName=MyApp\n[Language]\nVersion=Versie\n", "MyApp", "MyApp"},
      {"[Settings]\nVersion=3\n", "", " (Version 3)"},
      {"[Language]\nProgName=NotThis\nVersion=Versie\n", "", ""},
      {"[Settings]\nProgName =  My App  \nVersion=\t2.1\t\n", "My App", "My App (Version 2.1)"},
      {"[SETTINGS]\nprogname=MyApp\nVERSION=2\n", "MyApp", "MyApp (Version 2)"},
  };
  for (const auto& c : cases) {
    const TextTable texts = Load(c.contents);
    EXPECT_EQ(texts.prog_name, c.prog_name) << c.contents;
    EXPECT_EQ(texts.name_with_version, c.name_with_version) << c.contents;
    EXPECT_EQ(texts.mutex.find("Close Program '" + c.prog_name + "' first!"), 0u) << c.contents;
  }
  // The Language group's own Version key is the word of the suffix, never the number.
  EXPECT_EQ(Load("[Settings]\nVersion=2\n[Language]\nVersion=Versie\n").version, "Versie");
}

TEST_F(TextTableTest, MutexMarkerIsReplacedByTheProgramName) {
  const struct {
    std::string prog_name, mutex, expected;
  } cases[] = {
      {"MyApp", "Please close it first.|OK?", "Please close it first.|OK?"},
      {"MyApp", "$titel $TITEL $Tite l $Titel", "$titel $TITEL $Tite l MyApp"},  // case matters
      {"MyApp", "'$Titel' and '$Titel'$Titel", "'MyApp' and 'MyApp'MyApp"},
      // The inserted name is never searched again.
      {"A$TitelB", "[$Titel] [$Titel]", "[A$TitelB] [A$TitelB]"},
      {"$Tit", "$Titelel", "$Titel"},
      {"", "$Titel$Titel-$Titel", "-"},
  };
  for (const auto& c : cases) {
    const TextTable texts =
        Load("[Settings]\nProgName=" + c.prog_name + "\n[Language]\nMutex=" + c.mutex + "\n");
    EXPECT_EQ(texts.prog_name, c.prog_name);
    EXPECT_EQ(texts.mutex, c.expected) << c.mutex;
  }
  // Markers and bars mean nothing in the other texts.
  const TextTable texts = Load(
      "[Settings]\nProgName=MyApp\n[Language]\nTitel=$Titel|x\nMsg=a|b\nError=$Titel\nStatus=|\n");
  EXPECT_EQ(texts.titel, "$Titel|x");
  EXPECT_EQ(texts.msg, "a|b");
  EXPECT_EQ(texts.error, "$Titel");
  EXPECT_EQ(texts.status, "|");
}

TEST_F(TextTableTest, LanguageKeysAreLookedUpLikeAnyOther) {
  // Case is ignored, values are trimmed, the first duplicate wins, other groups do not count.
  const TextTable texts = Load(
      "Titel=Top\n[Settings]\nTitel=FromSettings\n[language]\nMSG=  small  talk \nOK=Ja\n"
      "OK=Jawohl\n[Other]\nTitel=FromOther\n[Language]\nCancel=Nein\n");
  EXPECT_EQ(texts.titel, "Uninstall Program");
  EXPECT_EQ(texts.msg, "small  talk");
  EXPECT_EQ(texts.ok, "Ja");
  EXPECT_EQ(texts.cancel, "Cancel");
}

TEST_F(TextTableTest, Utf8FileIsDecoded) {
  const TextTable texts = Load(
      "\xEF\xBB\xBF[Settings]\r\nProgName=Gr\xC3\xBC\xC3\x9Fn\r\nVersion=1\r\n[Language]\r\n"
      "Titel=Deinstallation f\xC3\xBCr\r\nMsg=\xE2\x82\xAC\r\nMutex=Schlie\xC3\x9Fn: $Titel\r\n");
  EXPECT_EQ(texts.prog_name, "Gr\xFC\xDFn");
  EXPECT_EQ(texts.name_with_version, "Gr\xFC\xDFn (Version 1)");
  EXPECT_EQ(texts.titel, "Deinstallation f\xFCr");
  EXPECT_EQ(texts.msg, "");  // a character above U+00FF: empty, not the default
  EXPECT_EQ(texts.mutex, "Schlie\xDFn: Gr\xFC\xDFn");
}

TEST_F(TextTableTest, FileIsReadOnceClosedAtOnceAndEveryEntryOverwritten) {
  fs_.AddFile(kPath, "[Settings]\nProgName=MyApp\nVersion=1\n[Language]\nOK=Ja\n");
  log_.Clear();
  TextTable texts;
  LoadTexts(Description(fs_, kPath), &texts);
  EXPECT_EQ(fs_.OpenHandles(), 0);
  EXPECT_EQ(fs_.OpenHandles(), 0);
  EXPECT_EQ(log_.Matching("OpenFile").size(), 1u);
  EXPECT_EQ(log_.Matching("CloseFile").size(), 1u);
  EXPECT_EQ(log_.entries().back(), std::string("CloseFile ") + kPath);
  EXPECT_EQ(texts.ok, "Ja");
  fs_.AddFile(kPath, "[Settings]\nProgName=Other\n");
  LoadTexts(Description(fs_, kPath), &texts);
  EXPECT_EQ(texts.ok, "OK");
  EXPECT_EQ(texts.prog_name, "Other");
  EXPECT_EQ(texts.name_with_version, "Other");
}

}  // namespace
}  // namespace uninstall
