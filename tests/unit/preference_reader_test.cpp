// Tests of the reader of uninstall.dat.
#include "description/preference_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "fakes/call_log.h"
#include "fakes/fake_file_system.h"

namespace uninstall {
namespace {

using Entry = PreferenceReader::Entry;
using Kind = PreferenceReader::EntryKind;

const char kPath[] = "C:\\App\\uninstall.dat";
const std::string kSignature = "\xEF\xBB\xBF";

// Entries in a compact form: "G:name", "C:text", "K:key=value".
std::vector<std::string> Describe(const std::vector<Entry>& entries) {
  std::vector<std::string> result;
  for (const Entry& entry : entries) {
    switch (entry.kind) {
      case Kind::kGroup:
        result.push_back("G:" + entry.name);
        break;
      case Kind::kComment:
        result.push_back("C:" + entry.name);
        break;
      case Kind::kKey:
        result.push_back("K:" + entry.name + "=" + entry.value);
        break;
    }
  }
  return result;
}

std::vector<std::string> Parse(const std::string& data) {
  return Describe(ParsePreferenceEntries(data));
}

using Lines = std::vector<std::string>;

// ---------------------------------------------------------------------------------------------
// Parsing

TEST(PreferenceParseTest, EmptyDataHasNoEntries) { EXPECT_EQ(Parse(""), Lines{}); }

TEST(PreferenceParseTest, BlankAndEmptyLinesAreIgnored) {
  EXPECT_EQ(Parse("\r\n\n\r  \t \r\n\t\n   "), Lines{});
  EXPECT_EQ(Parse("  \t"), Lines{});
  EXPECT_EQ(Parse("\n\nA=1\n\n \t\n\r\rB=2\n  "), (Lines{"K:A=1", "K:B=2"}));
}

TEST(PreferenceParseTest, OnlySpaceAndTabAreBlanks) {
  // Vertical tab, form feed and NUL are not blanks: they start key lines.
  EXPECT_EQ(Parse("\vKey=1"), Lines{"K:\vKey=1"});
  EXPECT_EQ(Parse("\f"), Lines{"K:\f="});
  EXPECT_EQ(Parse("Key\v=\fx"), Lines{"K:Key\v=\fx"});
  EXPECT_EQ(Parse(std::string("A\0B=1", 5)), Lines{std::string("K:A\0B=1", 7)});
}

TEST(PreferenceParseTest, Comments) {
  EXPECT_EQ(Parse("; hello"), Lines{"C:hello"});
  EXPECT_EQ(Parse(";hello"), Lines{"C:hello"});
  EXPECT_EQ(Parse(";  two spaces"), Lines{"C: two spaces"});
  EXPECT_EQ(Parse(";\ttab"), Lines{"C:\ttab"});
  EXPECT_EQ(Parse(";"), Lines{"C:"});
  EXPECT_EQ(Parse("; "), Lines{"C:"});
  EXPECT_EQ(Parse(" \t; indented \r\nA=1"), (Lines{"C:indented ", "K:A=1"}));
  EXPECT_EQ(Parse("; a=b\n;[G]"), (Lines{"C:a=b", "C:[G]"}));
}

TEST(PreferenceParseTest, GroupHeaders) {
  EXPECT_EQ(Parse("[Settings]"), Lines{"G:Settings"});
  EXPECT_EQ(Parse("  [Settings]\r\n"), Lines{"G:Settings"});
  EXPECT_EQ(Parse("[Settings"), Lines{"G:Settings"});
  EXPECT_EQ(Parse("[Settings\r\nA=1"), (Lines{"G:Settings", "K:A=1"}));
  EXPECT_EQ(Parse("[Settings\nA=1"), (Lines{"G:Settings", "K:A=1"}));
  EXPECT_EQ(Parse("[Settings\rA=1"), (Lines{"G:Settings", "K:A=1"}));
  EXPECT_EQ(Parse("[ Settings ]"), Lines{"G: Settings "});
  EXPECT_EQ(Parse("[]"), Lines{"G:"});
  EXPECT_EQ(Parse("["), Lines{"G:"});
  EXPECT_EQ(Parse("[A]B=1 ; rest\nC=2"), (Lines{"G:A", "K:C=2"}));
  EXPECT_EQ(Parse("[A]]\n"), Lines{"G:A"});
  EXPECT_EQ(Parse("[A=1]"), Lines{"G:A=1"});
  EXPECT_EQ(Parse("[A;b]"), Lines{"G:A;b"});
}

TEST(PreferenceParseTest, KeyLineWithBlanksAroundKeyAndValue) {
  EXPECT_EQ(Parse("   ProgExe  =  app.exe   "), Lines{"K:ProgExe=app.exe   "});
  EXPECT_EQ(Parse("\tKey\t=\tvalue\t\r\n"), Lines{"K:Key=value\t"});
  EXPECT_EQ(Parse("a b = c d"), Lines{"K:a b=c d"});
}

TEST(PreferenceParseTest, FurtherEqualsSignsBelongToTheValue) {
  EXPECT_EQ(Parse("Cmd = a=b"), Lines{"K:Cmd=a=b"});
  EXPECT_EQ(Parse("Cmd==x"), Lines{"K:Cmd==x"});
}

TEST(PreferenceParseTest, KeyWithoutEqualsSignHasEmptyValue) {
  for (const std::string eol : {"\r\n", "\n", "\r", "\n\r", "\r\r\n\n"}) {
    SCOPED_TRACE(::testing::PrintToString(eol));
    EXPECT_EQ(Parse("Script" + eol + "LoginAdmin=1" + eol), (Lines{"K:Script=", "K:LoginAdmin=1"}));
    EXPECT_EQ(Parse("Script  " + eol + "LoginAdmin=1"), (Lines{"K:Script=", "K:LoginAdmin=1"}));
  }
}

TEST(PreferenceParseTest, EmptyKeyAndEmptyValue) {
  EXPECT_EQ(Parse("=x"), Lines{"K:=x"});
  EXPECT_EQ(Parse("  =  x"), Lines{"K:=x"});
  EXPECT_EQ(Parse("Key="), Lines{"K:Key="});
  EXPECT_EQ(Parse("Key=   \nNext=1"), (Lines{"K:Key=", "K:Next=1"}));
}

TEST(PreferenceParseTest, NothingElseHasAMeaning) {
  EXPECT_EQ(Parse("#x=1"), Lines{"K:#x=1"});
  EXPECT_EQ(Parse("Name=\"a b\"  "), Lines{"K:Name=\"a b\"  "});
  EXPECT_EQ(Parse("A=1 ; not a comment # nor this"), Lines{"K:A=1 ; not a comment # nor this"});
  EXPECT_EQ(Parse("A=x\\\nB=y"), (Lines{"K:A=x\\", "K:B=y"}));
  EXPECT_EQ(Parse("A=[G]"), Lines{"K:A=[G]"});
}

TEST(PreferenceParseTest, LineEndsOfAllKinds) {
  const Lines expected{"G:Settings", "C:note", "K:A=1", "K:B=2", "G:Files", "K:F=x"};
  for (const std::string eol : {"\r\n", "\n", "\r", "\n\r", "\r\r", "\n\n\r\n"}) {
    SCOPED_TRACE(::testing::PrintToString(eol));
    const std::string text = "[Settings]" + eol + "; note" + eol + "A=1" + eol + eol + "B=2" + eol +
                             "[Files]" + eol + "F=x";
    EXPECT_EQ(Parse(text), expected);
    EXPECT_EQ(Parse(text + eol), expected);
  }
}

TEST(PreferenceParseTest, FileOrderAndTopSection) {
  EXPECT_EQ(Parse("Top=1\n[G]\nA=1\n[H]\n;c\nB=2\n[G]\nA=3"),
            (Lines{"K:Top=1", "G:G", "K:A=1", "G:H", "C:c", "K:B=2", "G:G", "K:A=3"}));
}

TEST(PreferenceParseTest, LongLinesAndManyEntries) {
  const std::string long_value(200000, 'v');
  std::string text = "[Files]\r\nLong=" + long_value + "\r\n";
  for (int i = 0; i < 10000; ++i)
    text += "F" + std::to_string(i) + "=file" + std::to_string(i) + "\n";
  const std::vector<Entry> entries = ParsePreferenceEntries(text);
  ASSERT_EQ(entries.size(), 10002u);
  EXPECT_EQ(entries[1].value, long_value);
  EXPECT_EQ(entries[10001].name, "F9999");
  EXPECT_EQ(entries[10001].value, "file9999");
}

// ---------------------------------------------------------------------------------------------
// The reader on files of the fake file system

class PreferenceReaderTest : public ::testing::Test {
 protected:
  PreferenceReaderTest() : fs_(&log_), reader_(fs_) {}

  // Writes `contents` to kPath and opens it.
  bool OpenWith(const std::string& contents) {
    fs_.AddFile(kPath, contents);
    return reader_.Open(kPath);
  }

  // Every CurrentValue of an enumeration of `group`.
  std::vector<std::string> Enumerate(const std::string& group) {
    std::vector<std::string> values;
    if (!reader_.SelectGroup(group) && !group.empty()) return {"<no group>"};
    if (!reader_.RewindKeys()) return {"<no rewind>"};
    while (reader_.NextKey()) values.push_back(reader_.CurrentValue());
    return values;
  }

  CallLog log_;
  FakeFileSystem fs_;
  PreferenceReader reader_;
};

TEST_F(PreferenceReaderTest, OpenReadsTheWholeFile) {
  ASSERT_TRUE(OpenWith("[Settings]\r\nProgExe=app.exe\r\n"));
  EXPECT_TRUE(reader_.is_open());
  EXPECT_FALSE(reader_.utf8());
  EXPECT_EQ(Describe(reader_.entries()), (Lines{"G:Settings", "K:ProgExe=app.exe"}));
  EXPECT_TRUE(reader_.SelectGroup("Settings"));
  EXPECT_EQ(reader_.ReadString("ProgExe", "none"), "app.exe");
}

TEST_F(PreferenceReaderTest, FileThatCannotBeOpenedGivesDefaults) {
  EXPECT_FALSE(reader_.Open("C:\\App\\missing.dat"));
  EXPECT_TRUE(reader_.is_open());
  EXPECT_TRUE(reader_.entries().empty());
  EXPECT_FALSE(reader_.utf8());
  EXPECT_EQ(fs_.OpenHandles(), 0);
  EXPECT_EQ(reader_.ReadString("ProgExe", "dflt"), "dflt");
  EXPECT_EQ(reader_.ReadNumber("NoDelAll", 42), 42);
  EXPECT_FALSE(reader_.SelectGroup("Settings"));
  EXPECT_EQ(reader_.ReadString("ProgExe", "dflt"), "dflt");
  EXPECT_EQ(reader_.ReadString("ProgExe"), "");
  EXPECT_EQ(reader_.ReadNumber("NoDelAll", -3), -3);
  EXPECT_FALSE(reader_.RewindKeys());
  EXPECT_FALSE(reader_.NextKey());
  EXPECT_EQ(reader_.CurrentValue(), "");
  // The top section of an empty reader is selectable but holds nothing.
  EXPECT_TRUE(reader_.SelectGroup(""));
  EXPECT_TRUE(reader_.RewindKeys());
  EXPECT_FALSE(reader_.NextKey());
  reader_.Close();
  EXPECT_FALSE(reader_.is_open());
}

TEST_F(PreferenceReaderTest, DirectoryCannotBeOpened) {
  fs_.AddDirectory("C:\\App\\uninstall.dat");
  EXPECT_FALSE(reader_.Open(kPath));
  EXPECT_TRUE(reader_.entries().empty());
  EXPECT_EQ(reader_.ReadString("A", "d"), "d");
}

TEST_F(PreferenceReaderTest, OpenCallsInOrder) {
  fs_.AddFile(kPath, "A=1\n");
  log_.Clear();
  ASSERT_TRUE(reader_.Open(kPath));
  const std::string p = kPath;
  EXPECT_EQ(log_.entries(), (Lines{"OpenFile " + p, "SizeOfFile " + p, "ReadBytes " + p + " 3",
                                   "MovePointer " + p + " 0 start", "ReadBytes " + p + " 4"}));
  log_.Clear();
  reader_.Close();
  EXPECT_EQ(log_.entries(), Lines{"CloseFile " + p});
}

TEST_F(PreferenceReaderTest, OpenCallsInOrderWithSignature) {
  fs_.AddFile(kPath, kSignature + "A=1\n");
  log_.Clear();
  ASSERT_TRUE(reader_.Open(kPath));
  const std::string p = kPath;
  EXPECT_EQ(log_.entries(), (Lines{"OpenFile " + p, "SizeOfFile " + p, "ReadBytes " + p + " 3",
                                   "ReadBytes " + p + " 4"}));
}

TEST_F(PreferenceReaderTest, ShortFileIsReadWithoutSignatureCheck) {
  fs_.AddFile(kPath, "A=");
  log_.Clear();
  ASSERT_TRUE(reader_.Open(kPath));
  const std::string p = kPath;
  EXPECT_EQ(log_.entries(), (Lines{"OpenFile " + p, "SizeOfFile " + p, "ReadBytes " + p + " 2"}));
}

TEST_F(PreferenceReaderTest, OpensReadWriteSharingForReadingOnly) {
  ASSERT_TRUE(OpenWith("[S]\nA=1\n"));
  std::uint32_t error = 0;
  // Another writer is excluded; another reader that shares writing is admitted.
  EXPECT_EQ(
      fs_.OpenFile(kPath, kGenericWrite, kShareRead | 0x2, kOpenExisting, kAttributeNormal, &error),
      0u);
  EXPECT_EQ(fs_.OpenFile(kPath, kGenericRead, kShareRead, kOpenExisting, kAttributeNormal, &error),
            0u);
  const FileHandle other =
      fs_.OpenFile(kPath, kGenericRead, kShareRead | 0x2, kOpenExisting, kAttributeNormal, &error);
  EXPECT_NE(other, 0u);
  fs_.CloseFile(other);
  reader_.Close();
  // Once closed, the file is free again.
  const FileHandle writer =
      fs_.OpenFile(kPath, kGenericWrite, 0, kOpenExisting, kAttributeNormal, &error);
  EXPECT_NE(writer, 0u);
  fs_.CloseFile(writer);
}

TEST_F(PreferenceReaderTest, ReadOnlyFileFallsBackToReadOnlyAccess) {
  // A read-only file refuses the read-write open, so the read-only open comes second.
  fs_.AddFile(kPath, "[S]\nA=1\n", kAttributeReadOnly);
  log_.Clear();
  ASSERT_TRUE(reader_.Open(kPath));
  EXPECT_EQ(log_.Matching("OpenFile"),
            (Lines{std::string("OpenFile ") + kPath, std::string("OpenFile ") + kPath}));
  EXPECT_TRUE(reader_.SelectGroup("S"));
  EXPECT_EQ(reader_.ReadString("A"), "1");
  EXPECT_EQ(fs_.OpenHandles(), 1);
  // Opened for reading, sharing reading: another plain reader is admitted.
  std::uint32_t error = 0;
  const FileHandle other =
      fs_.OpenFile(kPath, kGenericRead, kShareRead, kOpenExisting, kAttributeNormal, &error);
  EXPECT_NE(other, 0u);
  fs_.CloseFile(other);
  reader_.Close();
  EXPECT_EQ(fs_.OpenHandles(), 0);
}

TEST_F(PreferenceReaderTest, FileHeldByAReaderFallsBackToReadOnlyAccess) {
  fs_.AddFile(kPath, "[S]\nA=1\n");
  std::uint32_t error = 0;
  const FileHandle other =
      fs_.OpenFile(kPath, kGenericRead, kShareRead, kOpenExisting, kAttributeNormal, &error);
  ASSERT_NE(other, 0u);
  log_.Clear();
  ASSERT_TRUE(reader_.Open(kPath));
  EXPECT_EQ(log_.Matching("OpenFile").size(), 2u);
  EXPECT_TRUE(reader_.SelectGroup("S"));
  EXPECT_EQ(reader_.ReadString("A"), "1");
  reader_.Close();
  fs_.CloseFile(other);
}

TEST_F(PreferenceReaderTest, FileLockedByAWriterGivesDefaults) {
  fs_.AddFile(kPath, "[S]\nA=1\n");
  std::uint32_t error = 0;
  const FileHandle writer = fs_.OpenFile(kPath, kGenericRead | kGenericWrite, kShareRead | 0x2,
                                         kOpenExisting, kAttributeNormal, &error);
  ASSERT_NE(writer, 0u);
  log_.Clear();
  EXPECT_FALSE(reader_.Open(kPath));
  EXPECT_EQ(log_.Matching("OpenFile").size(), 2u);
  EXPECT_EQ(log_.entries().size(), 2u);  // nothing else was tried
  EXPECT_TRUE(reader_.is_open());
  EXPECT_FALSE(reader_.SelectGroup("S"));
  EXPECT_EQ(reader_.ReadString("A", "d"), "d");
  reader_.Close();
  EXPECT_EQ(log_.Matching("CloseFile").size(), 0u);  // no handle to close
  fs_.CloseFile(writer);
}

TEST_F(PreferenceReaderTest, HandleIsHeldFromOpenToClose) {
  ASSERT_TRUE(OpenWith("A=1"));
  EXPECT_EQ(fs_.OpenHandles(), 1);
  EXPECT_EQ(reader_.ReadString("A"), "1");
  EXPECT_EQ(fs_.OpenHandles(), 1);
  reader_.Close();
  EXPECT_EQ(fs_.OpenHandles(), 0);
  reader_.Close();  // safe twice
  EXPECT_EQ(fs_.OpenHandles(), 0);
}

TEST_F(PreferenceReaderTest, DestructorClosesTheFile) {
  fs_.AddFile(kPath, "A=1");
  {
    PreferenceReader reader(fs_);
    ASSERT_TRUE(reader.Open(kPath));
    EXPECT_EQ(fs_.OpenHandles(), 1);
  }
  EXPECT_EQ(fs_.OpenHandles(), 0);
}

TEST_F(PreferenceReaderTest, CloseWithoutOpenIsSafe) {
  reader_.Close();
  EXPECT_FALSE(reader_.is_open());
  EXPECT_EQ(reader_.ReadString("A", "d"), "d");
  EXPECT_EQ(reader_.ReadNumber("A", 9), 9);
  EXPECT_FALSE(reader_.SelectGroup("S"));
  EXPECT_FALSE(reader_.RewindKeys());
  EXPECT_FALSE(reader_.NextKey());
  EXPECT_EQ(reader_.CurrentValue(), "");
}

TEST_F(PreferenceReaderTest, CloseDropsEverything) {
  ASSERT_TRUE(OpenWith(kSignature + "[S]\nA=1\n"));
  ASSERT_TRUE(reader_.SelectGroup("S"));
  ASSERT_TRUE(reader_.RewindKeys());
  ASSERT_TRUE(reader_.NextKey());
  reader_.Close();
  EXPECT_FALSE(reader_.is_open());
  EXPECT_FALSE(reader_.utf8());
  EXPECT_TRUE(reader_.entries().empty());
  EXPECT_EQ(reader_.ReadString("A", "d"), "d");
  EXPECT_EQ(reader_.CurrentValue(), "");
  EXPECT_FALSE(reader_.NextKey());
}

TEST_F(PreferenceReaderTest, CloseNeverWritesBack) {
  const std::string contents = "[S]\r\nA = 1  \r\n;c\r\n";
  ASSERT_TRUE(OpenWith(contents));
  reader_.Close();
  EXPECT_EQ(fs_.Contents(kPath), contents);
}

TEST_F(PreferenceReaderTest, OpenWhileOpenStartsAfresh) {
  fs_.AddFile("C:\\one.dat", kSignature + "[S]\nA=one\n[T]\nB=1");
  fs_.AddFile("C:\\two.dat", "[S]\nA=two\n");
  ASSERT_TRUE(reader_.Open("C:\\one.dat"));
  EXPECT_TRUE(reader_.utf8());
  EXPECT_FALSE(reader_.SelectGroup("Missing"));
  ASSERT_TRUE(reader_.Open("C:\\two.dat"));
  EXPECT_EQ(fs_.OpenHandles(), 1);
  EXPECT_FALSE(reader_.utf8());
  // Top section, no missing-group flag.
  EXPECT_TRUE(reader_.RewindKeys());
  EXPECT_EQ(reader_.ReadString("A", "top"), "top");
  EXPECT_TRUE(reader_.SelectGroup("S"));
  EXPECT_EQ(reader_.ReadString("A"), "two");
  EXPECT_FALSE(reader_.SelectGroup("T"));
  // A failed open after a good one also drops the old entries.
  EXPECT_FALSE(reader_.Open("C:\\three.dat"));
  EXPECT_EQ(fs_.OpenHandles(), 0);
  EXPECT_TRUE(reader_.entries().empty());
}

TEST_F(PreferenceReaderTest, TopSectionHoldsKeysBeforeTheFirstGroup) {
  ASSERT_TRUE(OpenWith("Top=1\r\n;c\r\nOther = 2 \r\n[S]\r\nA=3\r\n"));
  // Right after Open the top section is current.
  EXPECT_EQ(reader_.ReadString("Top"), "1");
  EXPECT_EQ(reader_.ReadString("Other"), "2");
  EXPECT_EQ(reader_.ReadString("A", "d"), "d");
  ASSERT_TRUE(reader_.SelectGroup("S"));
  EXPECT_EQ(reader_.ReadString("Top", "d"), "d");
  EXPECT_EQ(reader_.ReadString("A"), "3");
  ASSERT_TRUE(reader_.SelectGroup(""));
  EXPECT_EQ(reader_.ReadString("Top"), "1");
  EXPECT_EQ(reader_.ReadString("A", "d"), "d");
}

TEST_F(PreferenceReaderTest, GroupAndKeyNamesIgnoreAsciiCase) {
  ASSERT_TRUE(OpenWith("[settings]\nprogexe=x\nTITEL=t\n"));
  EXPECT_TRUE(reader_.SelectGroup("Settings"));
  EXPECT_EQ(reader_.ReadString("ProgExe"), "x");
  EXPECT_EQ(reader_.ReadString("PROGEXE"), "x");
  EXPECT_EQ(reader_.ReadString("titel"), "t");
  EXPECT_TRUE(reader_.SelectGroup("SETTINGS"));
  EXPECT_EQ(reader_.ReadString("Titel"), "t");
}

TEST_F(PreferenceReaderTest, NamesMustOtherwiseMatchExactly) {
  ASSERT_TRUE(OpenWith("[ Settings ]\nA=1\n[Files]\nKey =2\n[G\xFC]\n\xDC=3\n"));
  EXPECT_FALSE(reader_.SelectGroup("Settings"));
  EXPECT_TRUE(reader_.SelectGroup(" settings "));
  EXPECT_EQ(reader_.ReadString("A"), "1");
  EXPECT_TRUE(reader_.SelectGroup("Files"));
  EXPECT_EQ(reader_.ReadString("Key"), "2");  // trailing blanks of the key removed
  EXPECT_EQ(reader_.ReadString("Key ", "d"), "d");
  EXPECT_EQ(reader_.ReadString(" Key", "d"), "d");
  EXPECT_EQ(reader_.ReadString("Ke", "d"), "d");
  EXPECT_EQ(reader_.ReadString("Keys", "d"), "d");
  // Only ASCII letters fold: 0xFC (u umlaut) and 0xDC (U umlaut) differ.
  EXPECT_FALSE(reader_.SelectGroup("G\xDC"));
  EXPECT_TRUE(reader_.SelectGroup("g\xFC"));
  EXPECT_EQ(reader_.ReadString("\xDC"), "3");
  EXPECT_EQ(reader_.ReadString("\xFC", "d"), "d");
}

TEST_F(PreferenceReaderTest, KeysAreLookedUpInTheCurrentGroupOnly) {
  ASSERT_TRUE(OpenWith("[A]\nX=a\n;Y=comment\n[B]\nY=b\n"));
  ASSERT_TRUE(reader_.SelectGroup("A"));
  EXPECT_EQ(reader_.ReadString("X"), "a");
  EXPECT_EQ(reader_.ReadString("Y", "d"), "d");
  ASSERT_TRUE(reader_.SelectGroup("B"));
  EXPECT_EQ(reader_.ReadString("X", "d"), "d");
  EXPECT_EQ(reader_.ReadString("Y"), "b");
}

TEST_F(PreferenceReaderTest, CommentsTakePartInNoLookup) {
  ASSERT_TRUE(OpenWith("[S]\n;A=1\n; A=2\nB=3\n"));
  ASSERT_TRUE(reader_.SelectGroup("S"));
  EXPECT_EQ(reader_.ReadString("A", "d"), "d");
  EXPECT_EQ(reader_.ReadString(";A", "d"), "d");
  EXPECT_EQ(reader_.ReadString("B"), "3");
  EXPECT_FALSE(reader_.SelectGroup("A=1"));
}

TEST_F(PreferenceReaderTest, FirstOfDuplicateKeysWins) {
  ASSERT_TRUE(OpenWith("[S]\nA=first\na=second\nA=third\n"));
  ASSERT_TRUE(reader_.SelectGroup("S"));
  EXPECT_EQ(reader_.ReadString("A"), "first");
  EXPECT_EQ(reader_.ReadNumber("A", 5), 0);
}

TEST_F(PreferenceReaderTest, FirstOfDuplicateGroupsWins) {
  ASSERT_TRUE(OpenWith("[S]\nA=1\n[T]\n[s]\nA=2\nB=3\n"));
  ASSERT_TRUE(reader_.SelectGroup("S"));
  EXPECT_EQ(reader_.ReadString("A"), "1");
  EXPECT_EQ(reader_.ReadString("B", "d"), "d");
  EXPECT_EQ(Enumerate("S"), Lines{"1"});
}

TEST_F(PreferenceReaderTest, ValuesAreTrimmedWhenRead) {
  ASSERT_TRUE(OpenWith("[S]\nA=  \t value with  inner  blanks \t  \nB=\t\nC\n"));
  ASSERT_TRUE(reader_.SelectGroup("S"));
  EXPECT_EQ(reader_.ReadString("A"), "value with  inner  blanks");
  EXPECT_EQ(reader_.ReadString("B", "d"), "");
  EXPECT_EQ(reader_.ReadString("C", "d"), "");
  EXPECT_EQ(reader_.ReadString("D", "d"), "d");
  EXPECT_EQ(reader_.ReadString("D"), "");
}

TEST_F(PreferenceReaderTest, SpecExamples) {
  ASSERT_TRUE(
      OpenWith("[Settings\r\n   ProgExe  =  app.exe   \r\nCmd = a=b\r\nScript\r\nLoginAdmin=1\r\n"
               "; Comment=1\r\n#x=1\r\nQuoted=\"a b\"\r\n"));
  ASSERT_TRUE(reader_.SelectGroup("Settings"));
  EXPECT_EQ(reader_.ReadString("ProgExe"), "app.exe");
  EXPECT_EQ(reader_.ReadString("Cmd"), "a=b");
  EXPECT_EQ(reader_.ReadString("Script", "d"), "");
  EXPECT_EQ(reader_.ReadNumber("LoginAdmin", 0), 1);
  EXPECT_EQ(reader_.ReadString("Comment", "d"), "d");
  EXPECT_EQ(reader_.ReadString("#x"), "1");
  EXPECT_EQ(reader_.ReadString("Quoted"), "\"a b\"");
}

TEST_F(PreferenceReaderTest, MissingGroupFlag) {
  ASSERT_TRUE(OpenWith("Top=t\n[S]\nA=1\n[T]\nB=2\n"));
  ASSERT_TRUE(reader_.SelectGroup("S"));
  ASSERT_TRUE(reader_.RewindKeys());
  ASSERT_TRUE(reader_.NextKey());

  EXPECT_FALSE(reader_.SelectGroup("Nope"));
  EXPECT_EQ(reader_.ReadString("A", "d"), "d");
  EXPECT_EQ(reader_.ReadNumber("A", 7), 7);
  EXPECT_FALSE(reader_.RewindKeys());
  EXPECT_FALSE(reader_.NextKey());
  // Still set after another failed selection.
  EXPECT_FALSE(reader_.SelectGroup("S "));
  EXPECT_EQ(reader_.ReadString("A", "d"), "d");

  // A successful selection clears it.
  EXPECT_TRUE(reader_.SelectGroup("T"));
  EXPECT_EQ(reader_.ReadString("B"), "2");
  EXPECT_TRUE(reader_.RewindKeys());

  EXPECT_FALSE(reader_.SelectGroup("Nope"));
  EXPECT_EQ(reader_.ReadString("Top", "d"), "d");
  EXPECT_TRUE(reader_.SelectGroup(""));
  EXPECT_EQ(reader_.ReadString("Top"), "t");
  EXPECT_TRUE(reader_.RewindKeys());

  // Open clears it as well.
  EXPECT_FALSE(reader_.SelectGroup("Nope"));
  ASSERT_TRUE(reader_.Open(kPath));
  EXPECT_EQ(reader_.ReadString("Top"), "t");
}

TEST_F(PreferenceReaderTest, EnumerationYieldsValuesInFileOrder) {
  ASSERT_TRUE(
      OpenWith("[Settings]\nA=1\n[Files]\n; first comment\nF1 = a.exe  \nF1=b.dll\n;between\n"
               "Other=  c\\d.txt\nNoValue\n;last\n[Dirs]\nD=x\\\n"));
  EXPECT_EQ(Enumerate("Files"), (Lines{"a.exe", "b.dll", "c\\d.txt", ""}));
  EXPECT_EQ(Enumerate("files"), (Lines{"a.exe", "b.dll", "c\\d.txt", ""}));
  EXPECT_EQ(Enumerate("Dirs"), Lines{"x\\"});
  EXPECT_EQ(Enumerate("Settings"), Lines{"1"});
  EXPECT_EQ(Enumerate("Data"), Lines{"<no group>"});
}

TEST_F(PreferenceReaderTest, NextKeyStaysFalseAtTheEndOfAGroup) {
  ASSERT_TRUE(OpenWith("[Files]\nA=1\nB=2\n;c\n[Dirs]\nC=3\n"));
  ASSERT_TRUE(reader_.SelectGroup("Files"));
  ASSERT_TRUE(reader_.RewindKeys());
  EXPECT_EQ(reader_.CurrentValue(), "");  // cursor on the header
  ASSERT_TRUE(reader_.NextKey());
  EXPECT_EQ(reader_.CurrentValue(), "1");
  ASSERT_TRUE(reader_.NextKey());
  EXPECT_EQ(reader_.CurrentValue(), "2");
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(reader_.NextKey());
    EXPECT_EQ(reader_.CurrentValue(), "2");  // the cursor stays where it was
  }
  // Rewinding starts over.
  ASSERT_TRUE(reader_.RewindKeys());
  ASSERT_TRUE(reader_.NextKey());
  EXPECT_EQ(reader_.CurrentValue(), "1");
}

TEST_F(PreferenceReaderTest, NextKeyStaysFalseAtTheEndOfTheFile) {
  ASSERT_TRUE(OpenWith("[Dirs]\nC=3\n;trailing comment"));
  EXPECT_EQ(Enumerate("Dirs"), Lines{"3"});
  EXPECT_FALSE(reader_.NextKey());
  EXPECT_FALSE(reader_.NextKey());
  EXPECT_EQ(reader_.CurrentValue(), "3");
}

TEST_F(PreferenceReaderTest, EmptyGroupsEnumerateNothing) {
  ASSERT_TRUE(OpenWith("[Files]\n;only a comment\n[Dirs]\n[Data]"));
  EXPECT_EQ(Enumerate("Files"), Lines{});
  EXPECT_EQ(Enumerate("Dirs"), Lines{});
  EXPECT_EQ(Enumerate("Data"), Lines{});
}

TEST_F(PreferenceReaderTest, TopSectionEnumeration) {
  ASSERT_TRUE(OpenWith(";c\nA=1\nB=2\n[S]\nC=3\n"));
  EXPECT_EQ(Enumerate(""), (Lines{"1", "2"}));
  // Right after Open the cursor is none: NextKey starts at the beginning of the file.
  ASSERT_TRUE(reader_.Open(kPath));
  ASSERT_TRUE(reader_.NextKey());
  EXPECT_EQ(reader_.CurrentValue(), "1");
}

TEST_F(PreferenceReaderTest, TopSectionEnumerationStopsAtALeadingGroup) {
  ASSERT_TRUE(OpenWith("[S]\nA=1\n"));
  EXPECT_EQ(Enumerate(""), Lines{});
}

TEST_F(PreferenceReaderTest, ReadsDoNotMoveTheCursor) {
  ASSERT_TRUE(OpenWith("[Files]\nA=1\nB=2\nC=3\n"));
  ASSERT_TRUE(reader_.SelectGroup("Files"));
  ASSERT_TRUE(reader_.RewindKeys());
  ASSERT_TRUE(reader_.NextKey());
  EXPECT_EQ(reader_.ReadString("C"), "3");
  EXPECT_EQ(reader_.ReadNumber("B", 0), 2);
  EXPECT_EQ(reader_.CurrentValue(), "1");
  ASSERT_TRUE(reader_.NextKey());
  EXPECT_EQ(reader_.CurrentValue(), "2");
}

TEST_F(PreferenceReaderTest, SelectGroupPutsTheCursorOnTheHeader) {
  ASSERT_TRUE(OpenWith("[Files]\nA=1\nB=2\n"));
  ASSERT_TRUE(reader_.SelectGroup("Files"));
  ASSERT_TRUE(reader_.NextKey());
  EXPECT_EQ(reader_.CurrentValue(), "1");
}

TEST_F(PreferenceReaderTest, ReadNumberFollowsAtoi) {
  ASSERT_TRUE(
      OpenWith("[N]\nOne=1\nTrailing=1abc\nNeg= -5\nLetters=abc\nEmpty=\nBlank=   \nPlus=+7\n"
               "Spaces=12  \nInner=1 2\nTwoSigns=--1\nSignSpace=- 1\nVTab=\v8\nFF=\f-9\n"
               "Zeros=007\nMinusZero=-0\nMax=2147483647\nMin=-2147483648\n"
               "Over=2147483648\nWrap=4294967297\nNegWrap=-4294967297\nHex=0x10\nNoValue\n"));
  ASSERT_TRUE(reader_.SelectGroup("N"));
  EXPECT_EQ(reader_.ReadNumber("One", 99), 1);
  EXPECT_EQ(reader_.ReadNumber("Trailing", 99), 1);
  EXPECT_EQ(reader_.ReadNumber("Neg", 99), -5);
  EXPECT_EQ(reader_.ReadNumber("Letters", 99), 0);
  EXPECT_EQ(reader_.ReadNumber("Empty", 99), 0);
  EXPECT_EQ(reader_.ReadNumber("Blank", 99), 0);
  EXPECT_EQ(reader_.ReadNumber("NoValue", 99), 0);
  EXPECT_EQ(reader_.ReadNumber("Plus", 99), 7);
  EXPECT_EQ(reader_.ReadNumber("Spaces", 99), 12);
  EXPECT_EQ(reader_.ReadNumber("Inner", 99), 1);
  EXPECT_EQ(reader_.ReadNumber("TwoSigns", 99), 0);
  EXPECT_EQ(reader_.ReadNumber("SignSpace", 99), 0);
  EXPECT_EQ(reader_.ReadNumber("VTab", 99), 8);
  EXPECT_EQ(reader_.ReadNumber("FF", 99), -9);
  EXPECT_EQ(reader_.ReadNumber("Zeros", 99), 7);
  EXPECT_EQ(reader_.ReadNumber("MinusZero", 99), 0);
  EXPECT_EQ(reader_.ReadNumber("Max", 99), 2147483647);
  EXPECT_EQ(reader_.ReadNumber("Min", 99), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(reader_.ReadNumber("Over", 99), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(reader_.ReadNumber("Wrap", 99), 1);
  EXPECT_EQ(reader_.ReadNumber("NegWrap", 99), -1);
  EXPECT_EQ(reader_.ReadNumber("Hex", 99), 0);
  EXPECT_EQ(reader_.ReadNumber("Absent", 99), 99);
  EXPECT_EQ(reader_.ReadNumber("Absent", -1), -1);
  EXPECT_EQ(reader_.ReadNumber("one", 99), 1);
}

TEST_F(PreferenceReaderTest, ReadNumberOfAVeryLongNumberStaysDefined) {
  ASSERT_TRUE(OpenWith("[N]\nBig=" + std::string(1000, '9') + "\n"));
  ASSERT_TRUE(reader_.SelectGroup("N"));
  // 10^1000 - 1 modulo 2^32, computed the same way the wrap is defined.
  std::uint32_t expected = 0;
  for (int i = 0; i < 1000; ++i) expected = expected * 10u + 9u;
  EXPECT_EQ(reader_.ReadNumber("Big", 0), static_cast<std::int32_t>(expected));
}

// --- Encodings -------------------------------------------------------------------------------

TEST_F(PreferenceReaderTest, SignatureSelectsUtf8Mode) {
  ASSERT_TRUE(OpenWith(kSignature + "[S]\r\nA=\xC3\xBC\r\n"));
  EXPECT_TRUE(reader_.utf8());
  EXPECT_EQ(Describe(reader_.entries()), (Lines{"G:S", "K:A=\xC3\xBC"}));
  ASSERT_TRUE(reader_.SelectGroup("S"));
  EXPECT_EQ(reader_.ReadString("A"), "\xFC");
}

TEST_F(PreferenceReaderTest, SignatureAloneGivesNoEntries) {
  ASSERT_TRUE(OpenWith(kSignature));
  EXPECT_TRUE(reader_.utf8());
  EXPECT_TRUE(reader_.entries().empty());
  EXPECT_FALSE(reader_.SelectGroup("S"));
}

TEST_F(PreferenceReaderTest, EmptyFileGivesNoEntries) {
  ASSERT_TRUE(OpenWith(""));
  EXPECT_FALSE(reader_.utf8());
  EXPECT_TRUE(reader_.entries().empty());
  EXPECT_EQ(reader_.ReadString("A", "d"), "d");
}

TEST_F(PreferenceReaderTest, ShortFilesAreEightBit) {
  ASSERT_TRUE(OpenWith("\xEF\xBB"));
  EXPECT_FALSE(reader_.utf8());
  EXPECT_EQ(Describe(reader_.entries()), Lines{"K:\xEF\xBB="});
  ASSERT_TRUE(OpenWith("A="));
  EXPECT_FALSE(reader_.utf8());
  EXPECT_EQ(Describe(reader_.entries()), Lines{"K:A="});
}

TEST_F(PreferenceReaderTest, FileWithoutSignatureIsReadFromItsStart) {
  ASSERT_TRUE(OpenWith("A=1"));  // exactly 3 bytes, not the signature
  EXPECT_FALSE(reader_.utf8());
  EXPECT_EQ(reader_.ReadString("A"), "1");
  ASSERT_TRUE(OpenWith("\xEF\xBB\x41=1\n"));  // almost the signature
  EXPECT_FALSE(reader_.utf8());
  EXPECT_EQ(reader_.ReadString("\xEF\xBB\x41"), "1");
}

TEST_F(PreferenceReaderTest, SignatureIsOnlyRecognisedAtTheStart) {
  ASSERT_TRUE(OpenWith("A=\xEF\xBB\xBF\nB=\xC3\xBC\n"));
  EXPECT_FALSE(reader_.utf8());
  EXPECT_EQ(reader_.ReadString("A"), "\xEF\xBB\xBF");
  EXPECT_EQ(reader_.ReadString("B"), "\xC3\xBC");
}

TEST_F(PreferenceReaderTest, EightBitModeTakesBytesUnchanged) {
  ASSERT_TRUE(
      OpenWith("[Gr\xFC\xDF"
               "e]\n\xE4=\xF6\x80\xFF\n"));
  EXPECT_TRUE(
      reader_.SelectGroup("GR\xFC\xDF"
                          "E"));
  EXPECT_EQ(reader_.ReadString("\xE4"), "\xF6\x80\xFF");
  EXPECT_FALSE(
      reader_.SelectGroup("Gr\xC3\xBC\xC3\x9F"
                          "e"));
}

TEST_F(PreferenceReaderTest, Utf16FileFindsNoKeys) {
  const std::string utf16(
      "\xFF\xFE[\0S\0]\0\r\0\n\0A\0=\0"
      "1\0",
      18);
  ASSERT_TRUE(OpenWith(utf16));
  EXPECT_FALSE(reader_.utf8());
  EXPECT_FALSE(reader_.SelectGroup("S"));
  EXPECT_TRUE(reader_.SelectGroup(""));
  EXPECT_EQ(reader_.ReadString("A", "d"), "d");
}

TEST_F(PreferenceReaderTest, Utf8ModeConvertsCallersNames) {
  ASSERT_TRUE(OpenWith(kSignature + "[Gr\xC3\xBC\xC3\x9F"
                                    "e]\n\xC3\xA4=x\nplain=y\n"));
  EXPECT_TRUE(
      reader_.SelectGroup("gR\xFC\xDF"
                          "E"));
  EXPECT_EQ(reader_.ReadString("\xE4"), "x");
  EXPECT_EQ(reader_.ReadString("PLAIN"), "y");
  EXPECT_EQ(reader_.ReadString("\xC4", "d"), "d");  // A umlaut is not a umlaut
  // The UTF-8 bytes themselves passed as a name are converted again and do not match.
  EXPECT_FALSE(
      reader_.SelectGroup("Gr\xC3\xBC\xC3\x9F"
                          "e"));
}

TEST_F(PreferenceReaderTest, Utf8Decoding) {
  struct Case {
    std::string stored;
    std::string read;
  };
  const std::vector<Case> cases = {
      {"plain ascii", "plain ascii"},
      {"\xC3\xBC", "\xFC"},
      {"a\xC2\x80z", "a\x80z"},
      {"\xC3\xBF", "\xFF"},
      {"\xE2\x82\xAC", ""},      // above U+00FF
      {"ok \xC4\x80", ""},       // U+0100
      {"\xF0\x9F\x98\x80", ""},  // 4 bytes, above U+00FF
      {"x\x80", ""},             // continuation byte where a lead byte is due
      {"\xBF", ""},
      {"\xC3\xBC\xBC", ""},
      {"\xF8\x80\x80\x80\x80", ""},  // lead bytes 0xF8-0xFF
      {"a\xFF", ""},
      {"\xFE", ""},
      {"\xC3\x41", ""},  // bad following byte
      {"\xE0\x80\xC0", ""},
      {"\xF0\x80\x80\x7F", ""},
      {"ab\xC3", "ab"},  // cut short by the end: dropped
      {"ab\xE2\x82", "ab"},
      {"ab\xF0\x80\x80", "ab"},
      {"\xC3", ""},
      {"\xC1\x81", "A"},  // overlong forms are accepted
      {"\xE0\x81\x81", "A"},
      {"\xF0\x80\x83\xBF", "\xFF"},
      {"\xE0\x83\xBF", "\xFF"},
      {"\xC0\x80", std::string(1, '\0')},
  };
  std::string contents = kSignature + "[V]\n";
  for (std::size_t i = 0; i < cases.size(); ++i) {
    contents += "K" + std::to_string(i) + "=" + cases[i].stored + "\n";
  }
  ASSERT_TRUE(OpenWith(contents));
  ASSERT_TRUE(reader_.SelectGroup("V"));
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(::testing::PrintToString(cases[i].stored));
    EXPECT_EQ(reader_.ReadString("K" + std::to_string(i), "default"), cases[i].read);
  }
  // Enumeration prepares values the same way.
  ASSERT_TRUE(reader_.RewindKeys());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(::testing::PrintToString(cases[i].stored));
    ASSERT_TRUE(reader_.NextKey());
    EXPECT_EQ(reader_.CurrentValue(), cases[i].read);
  }
  EXPECT_FALSE(reader_.NextKey());
}

TEST_F(PreferenceReaderTest, Utf8ValuesAreTrimmedBeforeDecoding) {
  ASSERT_TRUE(OpenWith(kSignature + "[V]\nA=  f\xC3\xBCr  \nB=ab\xC3  \n"));
  ASSERT_TRUE(reader_.SelectGroup("V"));
  EXPECT_EQ(reader_.ReadString("A"), "f\xFCr");
  EXPECT_EQ(reader_.ReadString("B"), "ab");  // trailing blanks go first, then the cut sequence
}

TEST_F(PreferenceReaderTest, ReadNumberDoesNotDecode) {
  ASSERT_TRUE(OpenWith(kSignature + "[N]\nA=12\xE2\x82\xAC\nB=\xC3\xBC\n"));
  ASSERT_TRUE(reader_.SelectGroup("N"));
  EXPECT_EQ(reader_.ReadString("A", "d"), "");
  EXPECT_EQ(reader_.ReadNumber("A", 99), 12);
  EXPECT_EQ(reader_.ReadNumber("B", 99), 0);
}

// --- Sizes -----------------------------------------------------------------------------------

TEST_F(PreferenceReaderTest, LargeFileIsReadWhole) {
  std::string contents = kSignature + "[Files]\r\n";
  for (int i = 0; i < 20000; ++i) contents += "F=" + std::to_string(i) + "\r\n";
  contents += "[Settings]\r\nLong=" + std::string(300000, 'x') + "\r\n";
  ASSERT_TRUE(OpenWith(contents));
  ASSERT_TRUE(reader_.SelectGroup("Settings"));
  EXPECT_EQ(reader_.ReadString("Long"), std::string(300000, 'x'));
  const std::vector<std::string> values = Enumerate("Files");
  ASSERT_EQ(values.size(), 20000u);
  EXPECT_EQ(values.front(), "0");
  EXPECT_EQ(values.back(), "19999");
}

TEST_F(PreferenceReaderTest, ReportedSizeLargerThanTheContent) {
  fs_.AddFile(kPath, "[S]\nA=1\n");
  fs_.SetReportedSize(kPath, 100);
  ASSERT_TRUE(reader_.Open(kPath));
  ASSERT_TRUE(reader_.SelectGroup("S"));
  EXPECT_EQ(reader_.ReadString("A"), "1");
}

TEST_F(PreferenceReaderTest, SizeBeyondMemoryCountsAsEmpty) {
  fs_.AddFile(kPath, "[S]\nA=1\n");
  fs_.SetReportedSize(kPath, static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()));
  EXPECT_TRUE(reader_.Open(kPath));
  EXPECT_TRUE(reader_.entries().empty());
  EXPECT_EQ(reader_.ReadString("A", "d"), "d");
  reader_.Close();
  EXPECT_EQ(fs_.OpenHandles(), 0);
}

// --- ReadOneValue ----------------------------------------------------------------------------

TEST_F(PreferenceReaderTest, ReadOneValue) {
  fs_.AddFile(kPath, "Top=t\n[Settings]\nProgLink = MyApp.lnk \n");
  EXPECT_EQ(ReadOneValue(reader_, "Settings", "ProgLink", "d", kPath), "MyApp.lnk");
  EXPECT_FALSE(reader_.is_open());
  EXPECT_EQ(fs_.OpenHandles(), 0);
  EXPECT_EQ(ReadOneValue(reader_, "settings", "PROGLINK", "d", kPath), "MyApp.lnk");
  EXPECT_EQ(ReadOneValue(reader_, "Settings", "Other", "d", kPath), "d");
  EXPECT_EQ(ReadOneValue(reader_, "Missing", "ProgLink", "d", kPath), "d");
  EXPECT_EQ(ReadOneValue(reader_, "", "Top", "d", kPath), "t");
  EXPECT_EQ(ReadOneValue(reader_, "Settings", "ProgLink", "d", "C:\\none.dat"), "d");
  EXPECT_FALSE(reader_.is_open());
  EXPECT_EQ(fs_.OpenHandles(), 0);
}

TEST_F(PreferenceReaderTest, ReadOneValueClosesWhatWasOpen) {
  fs_.AddFile("C:\\other.dat", "[S]\nA=1\n");
  fs_.AddFile(kPath, "[Settings]\nB=2\n");
  ASSERT_TRUE(reader_.Open("C:\\other.dat"));
  EXPECT_EQ(ReadOneValue(reader_, "Settings", "B", "d", kPath), "2");
  EXPECT_FALSE(reader_.is_open());
  EXPECT_EQ(fs_.OpenHandles(), 0);
}

}  // namespace
}  // namespace uninstall
