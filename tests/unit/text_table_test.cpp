// Tests of the user texts.
#include "driver/text_table.h"

#include <gtest/gtest.h>

#include <string>

#include "description/preference_reader.h"
#include "fakes/call_log.h"
#include "fakes/fake_file_system.h"

namespace uninstall {
namespace {

const char kPath[] = "C:\\Program Files\\MyApp\\uninstall.dat";

class TextTableTest : public ::testing::Test {
 protected:
  TextTableTest() : fs_(&log_), reader_(fs_) {}

  TextTable Load(const std::string& contents) {
    fs_.AddFile(kPath, contents);
    return LoadWithoutWriting();
  }

  TextTable LoadWithoutWriting() {
    TextTable texts;
    LoadTexts(reader_, kPath, &texts);
    return texts;
  }

  // The entries that come only from the Language group, with their defaults.
  static void ExpectLanguageDefaults(const TextTable& texts) {
    EXPECT_EQ(texts.titel, "Uninstall Program");
    EXPECT_EQ(texts.msg, "Program files and registry entries will be removed.");
    EXPECT_EQ(texts.version, "Version");
    EXPECT_EQ(texts.uninst_info, "Remove the following program from your computer:");
    EXPECT_EQ(texts.del_all, "Delete all(!) files in the directory (including user files).");
    EXPECT_EQ(texts.error, "Uninstalling program not possible.");
    EXPECT_EQ(texts.status, "Uninstalling completed.");
    EXPECT_EQ(texts.logon, "Login as administrator");
    EXPECT_EQ(texts.user, "Username:");
    EXPECT_EQ(texts.password, "Password:");
    EXPECT_EQ(texts.rq_titel, "Error - Login");
    EXPECT_EQ(texts.rq_msg, "Login failed.");
    EXPECT_EQ(texts.ok, "OK");
    EXPECT_EQ(texts.cancel, "Cancel");
    EXPECT_EQ(texts.ready, "Ready");
    EXPECT_EQ(texts.login, "Login");
  }

  CallLog log_;
  FakeFileSystem fs_;
  PreferenceReader reader_;
};

TEST_F(TextTableTest, MissingFileGivesEveryDefault) {
  const TextTable texts = LoadWithoutWriting();
  EXPECT_EQ(texts.prog_name, "");
  EXPECT_EQ(texts.name_with_version, "");
  EXPECT_EQ(texts.mutex, "Close Program '' first!|Then press OK!");
  ExpectLanguageDefaults(texts);
  EXPECT_FALSE(reader_.is_open());
}

TEST_F(TextTableTest, SettingsWithoutLanguageGroup) {
  const TextTable texts = Load("[Settings]\r\nProgName=MyApp\r\nVersion=2.1\r\n");
  EXPECT_EQ(texts.prog_name, "MyApp");
  EXPECT_EQ(texts.name_with_version, "MyApp (Version 2.1)");
  EXPECT_EQ(texts.mutex, "Close Program 'MyApp' first!|Then press OK!");
  ExpectLanguageDefaults(texts);
}

TEST_F(TextTableTest, LanguageVersionWordIsUsedInTheSuffix) {
  const TextTable texts =
      Load("[Settings]\nProgName=MyApp\nVersion=2.1\n[Language]\nVersion=Versie\n");
  EXPECT_EQ(texts.version, "Versie");
  EXPECT_EQ(texts.name_with_version, "MyApp (Versie 2.1)");
}

TEST_F(TextTableTest, EmptyLanguageVersionWordStaysEmptyInTheSuffix) {
  const TextTable texts = Load("[Settings]\nProgName=MyApp\nVersion=2.1\n[Language]\nVersion=\n");
  EXPECT_EQ(texts.version, "");
  EXPECT_EQ(texts.name_with_version, "MyApp ( 2.1)");
}

TEST_F(TextTableTest, EmptyVersionNumberGivesNoSuffix) {
  EXPECT_EQ(Load("[Settings]\nProgName=MyApp\nVersion=\n").name_with_version, "MyApp");
  EXPECT_EQ(Load("[Settings]\nProgName=MyApp\nVersion=   \n").name_with_version, "MyApp");
}

TEST_F(TextTableTest, MissingVersionKeyDropsTheSuffix) {
  const TextTable texts = Load("[Settings]\nProgName=MyApp\n[Language]\nVersion=Versie\n");
  EXPECT_EQ(texts.prog_name, "MyApp");
  EXPECT_EQ(texts.name_with_version, "MyApp");
}

TEST_F(TextTableTest, MissingProgNameKeyEmptiesTheName) {
  const TextTable texts = Load("[Settings]\nVersion=3\n");
  EXPECT_EQ(texts.prog_name, "");
  EXPECT_EQ(texts.name_with_version, " (Version 3)");
  EXPECT_EQ(texts.mutex, "Close Program '' first!|Then press OK!");
}

TEST_F(TextTableTest, NoSettingsGroup) {
  const TextTable texts =
      Load("[Language]\nTitel=Deinstallation\nProgName=NotThis\nVersion=Versie\n");
  EXPECT_EQ(texts.prog_name, "");
  EXPECT_EQ(texts.name_with_version, "");
  EXPECT_EQ(texts.titel, "Deinstallation");
  EXPECT_EQ(texts.version, "Versie");
  EXPECT_EQ(texts.mutex, "Close Program '' first!|Then press OK!");
}

TEST_F(TextTableTest, EveryKeyOverridesItsDefault) {
  const TextTable texts = Load(
      "[Settings]\r\nProgName=Prog\r\nVersion=1.0\r\n"
      "[Language]\r\n"
      "Titel=T\r\nMsg=M\r\nVersion=V\r\nUninstInfo=UI\r\nDelAll=DA\r\nError=E\r\n"
      "Status=S\r\nMutex=MX $Titel\r\nLogon=LO\r\nUser=U\r\nPassword=P\r\nRQ_Titel=RT\r\n"
      "RQ_Msg=RM\r\nOK=O\r\nCancel=C\r\nReady=R\r\nLogin=LI\r\n");
  EXPECT_EQ(texts.prog_name, "Prog");
  EXPECT_EQ(texts.titel, "T");
  EXPECT_EQ(texts.msg, "M");
  EXPECT_EQ(texts.version, "V");
  EXPECT_EQ(texts.uninst_info, "UI");
  EXPECT_EQ(texts.name_with_version, "Prog (V 1.0)");
  EXPECT_EQ(texts.del_all, "DA");
  EXPECT_EQ(texts.error, "E");
  EXPECT_EQ(texts.status, "S");
  EXPECT_EQ(texts.mutex, "MX Prog");
  EXPECT_EQ(texts.logon, "LO");
  EXPECT_EQ(texts.user, "U");
  EXPECT_EQ(texts.password, "P");
  EXPECT_EQ(texts.rq_titel, "RT");
  EXPECT_EQ(texts.rq_msg, "RM");
  EXPECT_EQ(texts.ok, "O");
  EXPECT_EQ(texts.cancel, "C");
  EXPECT_EQ(texts.ready, "R");
  EXPECT_EQ(texts.login, "LI");
}

TEST_F(TextTableTest, PresentButEmptyKeysGiveEmptyTexts) {
  const TextTable texts = Load(
      "[Language]\nTitel=\nMsg=\nVersion=\nUninstInfo=\nDelAll=\nError=\nStatus=\nMutex=\n"
      "Logon=\nUser=\nPassword=\nRQ_Titel=\nRQ_Msg=\nOK=\nCancel   \nReady=  \t \nLogin=\n");
  for (const std::string* text :
       {&texts.titel, &texts.msg, &texts.version, &texts.uninst_info, &texts.del_all, &texts.error,
        &texts.status, &texts.mutex, &texts.logon, &texts.user, &texts.password, &texts.rq_titel,
        &texts.rq_msg, &texts.ok, &texts.cancel, &texts.ready, &texts.login}) {
    EXPECT_EQ(*text, "");
  }
}

TEST_F(TextTableTest, EmptyMsgOnlyEmptiesTheMessage) {
  const TextTable texts = Load("[Language]\nMsg=\n");
  EXPECT_EQ(texts.msg, "");
  EXPECT_EQ(texts.titel, "Uninstall Program");
}

TEST_F(TextTableTest, MutexWithoutMarkerIsKeptAsWritten) {
  const TextTable texts =
      Load("[Settings]\nProgName=MyApp\n[Language]\nMutex=Please close it first.|OK?\n");
  EXPECT_EQ(texts.mutex, "Please close it first.|OK?");
}

TEST_F(TextTableTest, MutexMarkerIsCaseSensitive) {
  const TextTable texts =
      Load("[Settings]\nProgName=MyApp\n[Language]\nMutex=$titel $TITEL $Tite l $Titel\n");
  EXPECT_EQ(texts.mutex, "$titel $TITEL $Tite l MyApp");
}

TEST_F(TextTableTest, MutexMarkerTwiceGetsTheNameTwice) {
  const TextTable texts =
      Load("[Settings]\nProgName=MyApp\n[Language]\nMutex='$Titel' and '$Titel'$Titel\n");
  EXPECT_EQ(texts.mutex, "'MyApp' and 'MyApp'MyApp");
}

TEST_F(TextTableTest, NameContainingTheMarkerIsNotReplacedAgain) {
  const TextTable texts =
      Load("[Settings]\nProgName=A$TitelB\n[Language]\nMutex=[$Titel] [$Titel]\n");
  EXPECT_EQ(texts.prog_name, "A$TitelB");
  EXPECT_EQ(texts.mutex, "[A$TitelB] [A$TitelB]");
}

TEST_F(TextTableTest, NameThatCompletesAMarkerIsNotReplacedAgain) {
  const TextTable texts = Load("[Settings]\nProgName=$Tit\n[Language]\nMutex=$Titelel\n");
  EXPECT_EQ(texts.mutex, "$Titel");
}

TEST_F(TextTableTest, EmptyNameRemovesTheMarkers) {
  const TextTable texts = Load("[Language]\nMutex=$Titel$Titel-$Titel\n");
  EXPECT_EQ(texts.mutex, "-");
}

TEST_F(TextTableTest, MarkersOnlyCountInMutex) {
  const TextTable texts = Load(
      "[Settings]\nProgName=MyApp\n[Language]\nTitel=$Titel|x\nMsg=a|b\nError=$Titel\n"
      "Status=|\n");
  EXPECT_EQ(texts.titel, "$Titel|x");
  EXPECT_EQ(texts.msg, "a|b");
  EXPECT_EQ(texts.error, "$Titel");
  EXPECT_EQ(texts.status, "|");
}

TEST_F(TextTableTest, GroupAndKeyNamesIgnoreCase) {
  const TextTable texts =
      Load("[SETTINGS]\nprogname=MyApp\nVERSION=2\n[language]\nTITEL=Big\nmsg=small\n");
  EXPECT_EQ(texts.prog_name, "MyApp");
  EXPECT_EQ(texts.name_with_version, "MyApp (Version 2)");
  EXPECT_EQ(texts.titel, "Big");
  EXPECT_EQ(texts.msg, "small");
}

TEST_F(TextTableTest, KeysOfOtherGroupsAreNotUsed) {
  const TextTable texts = Load(
      "Titel=Top\n[Settings]\nProgName=MyApp\nTitel=FromSettings\n[Language]\nMsg=m\n"
      "[Other]\nTitel=FromOther\n");
  EXPECT_EQ(texts.titel, "Uninstall Program");
  EXPECT_EQ(texts.msg, "m");
}

TEST_F(TextTableTest, ValuesAreTrimmed) {
  const TextTable texts = Load(
      "[Settings]\nProgName =  My App  \nVersion=\t2.1\t\n[Language]\nTitel=  Spaced  out  \n");
  EXPECT_EQ(texts.prog_name, "My App");
  EXPECT_EQ(texts.name_with_version, "My App (Version 2.1)");
  EXPECT_EQ(texts.titel, "Spaced  out");
}

TEST_F(TextTableTest, Utf8FileIsDecoded) {
  const TextTable texts = Load(
      "\xEF\xBB\xBF[Settings]\r\nProgName=Gr\xC3\xBC\xC3\x9F"
      "e\r\nVersion=1\r\n"
      "[Language]\r\nTitel=Deinstallation f\xC3\xBCr\r\nMsg=\xE2\x82\xAC\r\n"
      "Mutex=Schlie\xC3\x9F"
      "en: $Titel\r\n");
  EXPECT_EQ(texts.prog_name,
            "Gr\xFC\xDF"
            "e");
  EXPECT_EQ(texts.name_with_version,
            "Gr\xFC\xDF"
            "e (Version 1)");
  EXPECT_EQ(texts.titel, "Deinstallation f\xFCr");
  EXPECT_EQ(texts.msg, "");  // a character above U+00FF: empty, not the default
  EXPECT_EQ(texts.mutex,
            "Schlie\xDF"
            "en: Gr\xFC\xDF"
            "e");
}

TEST_F(TextTableTest, DuplicateKeysTakeTheFirst) {
  const TextTable texts = Load("[Language]\nOK=Ja\nOK=Jawohl\n[Language]\nCancel=Nein\n");
  EXPECT_EQ(texts.ok, "Ja");
  EXPECT_EQ(texts.cancel, "Cancel");
}

TEST_F(TextTableTest, ReaderIsClosedAfterwards) {
  fs_.AddFile(kPath, "[Settings]\nProgName=MyApp\n");
  reader_.Open("C:\\elsewhere.dat");  // a reader left open is closed first
  log_.Clear();
  TextTable texts;
  LoadTexts(reader_, kPath, &texts);
  EXPECT_FALSE(reader_.is_open());
  EXPECT_EQ(fs_.OpenHandles(), 0);
  // Opened exactly once and closed once.
  EXPECT_EQ(log_.Matching("OpenFile").size(), 1u);
  EXPECT_EQ(log_.Matching("CloseFile").size(), 1u);
  EXPECT_EQ(log_.entries().back(), std::string("CloseFile ") + kPath);
}

TEST_F(TextTableTest, LoadingTwiceOverwritesEveryEntry) {
  fs_.AddFile(kPath, "[Settings]\nProgName=MyApp\nVersion=1\n[Language]\nOK=Ja\n");
  TextTable texts;
  LoadTexts(reader_, kPath, &texts);
  EXPECT_EQ(texts.ok, "Ja");
  fs_.AddFile(kPath, "[Settings]\nProgName=Other\n");
  LoadTexts(reader_, kPath, &texts);
  EXPECT_EQ(texts.ok, "OK");
  EXPECT_EQ(texts.prog_name, "Other");
  EXPECT_EQ(texts.name_with_version, "Other");
}

}  // namespace
}  // namespace uninstall
