// Tests of the reader of uninstall.dat.
#include "description/preference_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "description/description.h"
#include "fakes/call_log.h"
#include "fakes/fake_file_system.h"

namespace uninstall {
namespace {

using Entry = PreferenceReader::EntryKind;
using Lines = std::vector<std::string>;
using Pairs = std::vector<std::pair<std::string, std::string>>;
using ::testing::PrintToString;

const char kPath[] = "C:\\App\\uninstall.dat";
const std::string kSignature = "\xEF\xBB\xBF";

// The entries of `data` in a compact form: "G:name|C:text|K:key=value".
std::string Describe(const std::string& data) {
  std::vector<PreferenceReader::Entry> entries(ScanPreferenceEntries(data, nullptr));
  EXPECT_EQ(ScanPreferenceEntries(data, entries.data()), entries.size());
  auto part = [&](std::uint32_t begin, std::uint32_t end) {
    return data.substr(begin, end - begin);
  };
  std::string result;
  for (const PreferenceReader::Entry& entry : entries) {
    if (!result.empty()) result += "|";
    const std::string name = part(entry.name_begin, entry.name_end);
    if (entry.kind == Entry::kGroup) result += "G:" + name;
    if (entry.kind == Entry::kComment) result += "C:" + name;
    if (entry.kind == Entry::kKey) {
      result += "K:" + name + "=" + part(entry.value_begin, entry.value_end);
    }
  }
  return result;
}

// Each pair: the data and its Describe()d entries.
void ExpectParses(const Pairs& cases) {
  for (const auto& c : cases) EXPECT_EQ(Describe(c.first), c.second) << PrintToString(c.first);
}

TEST(PreferenceParseTest, LinesOfEveryKind) {
  ExpectParses({
      {"", ""},
      {"\r\n\n\r  \t \r\n\t\n   ", ""},
      {"\n\nA=1\n\n \t\n\r\rB=2\n  \t", "K:A=1|K:B=2"},
      // Only space and tab are blanks; vertical tab, form feed and NUL start key lines.
      {"\f\n\vKey\v=\fx", "K:\f=|K:\vKey\v=\fx"},
      {std::string("A\0B=1", 5), std::string("K:A\0B=1", 7)},
      // One space after the semicolon is dropped, nothing else.
      {"; hello\n;hello\n;  two\n;\ttab\n; \n;", "C:hello|C:hello|C: two|C:\ttab|C:|C:"},
      {" \t; indented \r\nA=1\n; a=b\n;[G]", "C:indented |K:A=1|C:a=b|C:[G]"},
      // Group headers end at ']' or at the line end; the rest of the line is dropped.
      {"  [Settings]\r\n", "G:Settings"},
      {"[Settings", "G:Settings"},
      {"[Settings\nA=1", "G:Settings|K:A=1"},
      {"[Settings\rA=1", "G:Settings|K:A=1"},
      {"[ Settings ]\n[]", "G: Settings |G:"},
      {"[A]B=1 ; rest\nC=2\n[A]]\n[A=1;b]", "G:A|K:C=2|G:A|G:A=1;b"},
      // Key lines: blanks around key and value go, except after the value.
      {" \ta b \t= \tc d\t \r\n", "K:a b=c d\t "},
      {"Cmd==x", "K:Cmd==x"},
      {"  =  x", "K:=x"},
      {"Key=   \nNext=1", "K:Key=|K:Next=1"},
      {"#x=\"a b\" ; not [G] # \\\nB=y", "K:#x=\"a b\" ; not [G] # \\|K:B=y"},
      {"Top=1\n[G]\nA=1\n[H]\n;c\nB=2\n[G]\nA=3", "K:Top=1|G:G|K:A=1|G:H|C:c|K:B=2|G:G|K:A=3"},
  });
}

TEST(PreferenceParseTest, LineEndsOfAllKinds) {
  const std::string expected = "G:Settings|C:note|K:Script=|K:A=1|K:B=2|G:Files|K:F=x";
  for (const std::string eol : {"\r\n", "\n", "\r", "\n\r", "\r\r", "\n\n\r\n", "\r\r\n\n"}) {
    const std::string text = "[Settings]" + eol + "; note" + eol + "Script  " + eol + "A=1" + eol +
                             eol + "B=2" + eol + "[Files]" + eol + "F=x";
    ExpectParses({{text, expected}, {text + eol, expected}});
  }
}

class PreferenceReaderTest : public ::testing::Test {
 protected:
  PreferenceReaderTest() : fs_(&log_), reader_(fs_) {}

  // Writes `contents` to kPath and opens it.
  bool OpenWith(const std::string& contents) {
    fs_.AddFile(kPath, contents);
    return reader_.Open(kPath);
  }

  // Opens a file holding `values` as K0, K1, ... of group [V] and selects that group.
  void OpenNumbered(const std::string& signature, const Lines& values) {
    std::string contents = signature + "[V]\n";
    for (std::size_t i = 0; i < values.size(); ++i) {
      contents += "K" + std::to_string(i) + "=" + values[i] + "\n";
    }
    ASSERT_TRUE(OpenWith(contents));
    ASSERT_TRUE(reader_.SelectGroup("V"));
  }

  // Every CurrentValue of an enumeration of `group`.
  Lines Enumerate(const std::string& group) {
    Lines values;
    if (!reader_.SelectGroup(group) && !group.empty()) return {"<no group>"};
    if (!reader_.RewindKeys()) return {"<no rewind>"};
    while (reader_.NextKey()) values.push_back(reader_.CurrentValue());
    return values;
  }

  // Each pair: a key and what ReadString gives for it with the default "d".
  void ExpectReads(const Pairs& reads) {
    for (const auto& read : reads) {
      EXPECT_EQ(reader_.ReadString(read.first, "d"), read.second) << PrintToString(read.first);
    }
  }

  // What the open reader holds, through its operations: "<closed>", or the values of the top
  // section and of group `group` ("top:1,2|S:3").
  std::string Holds(const std::string& group = "S") {
    if (!reader_.SelectGroup("")) return "<closed>";
    std::string result = "top:";
    for (const std::string& value : Enumerate("")) result += value + ",";
    if (reader_.SelectGroup(group)) {
      result += "|" + group + ":";
      for (const std::string& value : Enumerate(group)) result += value + ",";
    }
    return result;
  }

  // A closed reader, or an open one after a failed SelectGroup: nothing is found.
  void ExpectNothingFound() {
    EXPECT_FALSE(reader_.SelectGroup("Nope"));
    EXPECT_EQ(reader_.ReadString("A", "d"), "d");
    EXPECT_EQ(reader_.ReadString("A"), "");
    EXPECT_EQ(reader_.ReadNumber("A", -3), -3);
    EXPECT_FALSE(reader_.RewindKeys());
    EXPECT_FALSE(reader_.NextKey());
  }

  FileHandle OpenOther(std::uint32_t access, std::uint32_t share) {
    std::uint32_t error = 0;
    return fs_.OpenFile(kPath, access, share, kOpenExisting, kAttributeNormal, &error);
  }

  // The calls logged since the last Clear, without the path: "OpenFile|ReadBytes 3|...".
  std::string Calls() {
    std::string result;
    for (std::string entry : log_.entries()) {
      const std::size_t at = entry.find(std::string(" ") + kPath);
      if (at != std::string::npos) entry.erase(at, 1 + std::string(kPath).size());
      result += (result.empty() ? "" : "|") + entry;
    }
    log_.Clear();
    return result;
  }

  CallLog log_;
  FakeFileSystem fs_;
  PreferenceReader reader_;
};

TEST_F(PreferenceReaderTest, OpenReadsTheWholeFileAndRecognisesTheSignature) {
  const std::string kRewound = "ReadBytes 3|MovePointer 0 start|ReadBytes ";
  // `holds`: what Holds() sees; a UTF-8 file decodes C3 BC to FC, an 8-bit one keeps both bytes.
  const struct {
    std::string contents;
    std::string holds, reads;  // `reads`: the calls after OpenFile and SizeOfFile
  } cases[] = {
      {"[S]\r\nA=1\r\n", "top:|S:1,", kRewound + "10"},
      {kSignature + "A=\xC3\xBC\n", "top:\xFC,", "ReadBytes 3|ReadBytes 5"},
      {"A=\xC3\xBC\n", "top:\xC3\xBC,", kRewound + "5"},
      {kSignature, "top:", "ReadBytes 3"},
      {"", "top:", ""},
      // Files shorter than the signature are read without looking for it.
      {"\xEF\xBB", "top:,", "ReadBytes 2"},
      // Three bytes that are not (or almost) the signature are read from the start.
      {"A=1", "top:1,", kRewound + "3"},
      // A NUL byte ends the data.
      {std::string("A=1\nB=x\0y\nC=3\n", 14), "top:1,x,", kRewound + "14"},
      {"\xEF\xBB\x41=1\n", "top:1,", kRewound + "6"},
      {"A=\xEF\xBB\xBF\n", "top:\xEF\xBB\xBF,", kRewound + "6"},  // only at the start
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(PrintToString(c.contents));
    fs_.AddFile(kPath, c.contents);
    log_.Clear();
    ASSERT_TRUE(reader_.Open(kPath));
    EXPECT_EQ(Calls(), "OpenFile|SizeOfFile" + (c.reads.empty() ? "" : "|" + c.reads));
    EXPECT_EQ(Holds(), c.holds);
    EXPECT_EQ(fs_.OpenHandles(), 1);
    reader_.Close();
    EXPECT_EQ(Calls(), "CloseFile");
    EXPECT_EQ(fs_.OpenHandles(), 0);
  }
  ASSERT_TRUE(reader_.Open(kPath));
  EXPECT_EQ(reader_.ReadString("A"), "\xEF\xBB\xBF");  // 8-bit values are not decoded
  // A file that yields fewer bytes than its size said: nothing is made of the missing rest.
  fs_.AddFile(kPath, "A=1");
  fs_.SetReportedSize(kPath, 10);
  ASSERT_TRUE(reader_.Open(kPath));
  EXPECT_EQ(Holds(), "top:1,");
  // A file too large to be held in memory reads like one that cannot be read.
  fs_.SetReportedSize(kPath, std::uint64_t{5} << 30);
  log_.Clear();
  ASSERT_TRUE(reader_.Open(kPath));
  EXPECT_EQ(Holds(), "top:");
  EXPECT_EQ(Calls(), "CloseFile|OpenFile|SizeOfFile|ReadBytes 3|MovePointer 0 start");
  // A UTF-16 file is taken as 8-bit bytes and gives nothing usable.
  ASSERT_TRUE(OpenWith(std::string("\xFF\xFE[\0S\0]\0\r\0\n\0A\0=\0x\0", 18)));
  EXPECT_FALSE(reader_.SelectGroup("S"));
  EXPECT_TRUE(reader_.SelectGroup(""));
  EXPECT_EQ(reader_.ReadString("A", "d"), "d");
}

// Numbered keys are visited in the order of their numbers, each as a lookup would find it.
TEST_F(PreferenceReaderTest, NumberedValuesAreSpelledAsTheLookupSpellsThem) {
  const struct {
    std::string contents;
    std::int64_t last;
    std::string visited;
  } cases[] = {
      {"[T]\nNumber=1\nTask1= a \ntask12=b\nTASK3=c\nTask012=d\nTask=e\nTasks5=f\nTask2x=g\n"
       "Task3=dup\nTask4294967296=h\nTask7=\n[U]\nTask99=i",
       4294967296, "a,c,,b,h,"},
      {"[T]\nTask1=a\nTask2=b\nTask3=c\n", 2, "a,b,"},
      {"[T]\nTask1=a\n", 0, ""},
      {"[T]\nTask1=a\n", -1, ""},
      // Leading zeros, comments and numbers of more than 18 digits count for nothing.
      {"[T]\nTask0=a\nTask05=b\n;Task7=c\nTask1000000000000000000=d\n", 9223372036854775807, ""},
      {"Task7=a\n[T]\n[T]\nTask8=b\n", 100, ""},  // the top section and a second [T] don't count
      {kSignature + "[T]\nTask\xC3\xBC"
                    "4=a\nTask3=\xC3\xBC\n",
       10, "\xFC,"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(OpenWith(c.contents));
    ASSERT_TRUE(reader_.SelectGroup("T"));
    std::string visited;
    reader_.ForEachNumberedValue("Task", c.last, [&](const std::string& v) { visited += v + ","; });
    EXPECT_EQ(visited, c.visited) << PrintToString(c.contents);
  }
  int visits = 0;
  EXPECT_FALSE(reader_.SelectGroup("Missing"));
  reader_.ForEachNumberedValue("Task", 10, [&](const std::string&) { ++visits; });
  ASSERT_TRUE(OpenWith(kSignature + "[T]\nTask\xC3\xBC"
                                    "4=a\n"));
  ASSERT_TRUE(reader_.SelectGroup("T"));
  reader_.ForEachNumberedValue("Task\xFC", 10, [&](const std::string&) { ++visits; });
  EXPECT_EQ(visits, 1);  // the prefix is compared in UTF-8
}

TEST_F(PreferenceReaderTest, FileThatCannotBeOpenedGivesDefaults) {
  fs_.AddDirectory("C:\\App\\dir.dat");
  for (const char* path : {"C:\\App\\missing.dat", "C:\\App\\dir.dat"}) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(reader_.Open(path));
    EXPECT_EQ(Holds(), "top:");
    EXPECT_EQ(fs_.OpenHandles(), 0);
    EXPECT_EQ(reader_.ReadString("A", "d"), "d");
    // The top section of an empty reader is selectable but holds nothing.
    EXPECT_TRUE(reader_.SelectGroup(""));
    EXPECT_TRUE(reader_.RewindKeys());
    EXPECT_FALSE(reader_.NextKey());
    EXPECT_EQ(reader_.CurrentValue(), "");
    ExpectNothingFound();
    reader_.Close();
    EXPECT_EQ(Holds(), "<closed>");
  }
}

TEST_F(PreferenceReaderTest, CloseDropsEverythingAndNeverWritesBack) {
  ExpectNothingFound();  // never opened
  reader_.Close();       // safe without Open
  EXPECT_EQ(Holds(), "<closed>");
  const std::string contents = kSignature + "[S]\r\nA = 1  \r\n;c\r\n";
  ASSERT_TRUE(OpenWith(contents));
  ASSERT_TRUE(reader_.SelectGroup("S"));
  ASSERT_TRUE(reader_.NextKey());
  reader_.Close();
  EXPECT_EQ(Holds(), "<closed>");
  EXPECT_EQ(reader_.CurrentValue(), "");
  ExpectNothingFound();
  reader_.Close();  // safe twice
  EXPECT_EQ(fs_.OpenHandles(), 0);
  EXPECT_EQ(fs_.Contents(kPath), contents);
  {
    PreferenceReader reader(fs_);
    ASSERT_TRUE(reader.Open(kPath));
    EXPECT_EQ(fs_.OpenHandles(), 1);
  }
  EXPECT_EQ(fs_.OpenHandles(), 0);  // the destructor closes the file
}

TEST_F(PreferenceReaderTest, OpenWhileOpenStartsAfresh) {
  fs_.AddFile("C:\\one.dat", kSignature + "[S]\nA=one\n[T]\nB=1");
  fs_.AddFile("C:\\two.dat", "[S]\nA=two\nU=\xC3\xBC\n");
  ASSERT_TRUE(reader_.Open("C:\\one.dat"));
  EXPECT_FALSE(reader_.SelectGroup("Missing"));
  ASSERT_TRUE(reader_.Open("C:\\two.dat"));
  EXPECT_EQ(fs_.OpenHandles(), 1);
  EXPECT_TRUE(reader_.RewindKeys());  // top section, no missing-group flag
  EXPECT_EQ(reader_.ReadString("A", "top"), "top");
  EXPECT_TRUE(reader_.SelectGroup("S"));
  EXPECT_EQ(reader_.ReadString("A"), "two");
  EXPECT_EQ(reader_.ReadString("U"), "\xC3\xBC");  // 8-bit again
  EXPECT_FALSE(reader_.SelectGroup("T"));
  // A failed open after a good one also drops the old entries.
  EXPECT_FALSE(reader_.Open("C:\\three.dat"));
  EXPECT_EQ(fs_.OpenHandles(), 0);
  EXPECT_EQ(Holds("T"), "top:");
}

TEST_F(PreferenceReaderTest, SharingAndFallbackToReadOnlyAccess) {
  // Opened read-write, sharing reading: writers and plain readers are excluded, a reader that
  // shares writing is admitted; once closed, the file is free again.
  ASSERT_TRUE(OpenWith("[S]\nA=1\n"));
  EXPECT_EQ(OpenOther(kGenericWrite, kShareRead | 0x2), 0u);
  EXPECT_EQ(OpenOther(kGenericRead, kShareRead), 0u);
  FileHandle other = OpenOther(kGenericRead, kShareRead | 0x2);
  EXPECT_NE(other, 0u);
  fs_.CloseFile(other);
  reader_.Close();
  other = OpenOther(kGenericWrite, 0);
  EXPECT_NE(other, 0u);
  fs_.CloseFile(other);

  // A read-only file, or one held by a plain reader, is opened for reading at the second try.
  for (bool read_only : {true, false}) {
    SCOPED_TRACE(read_only);
    fs_.AddFile(kPath, "[S]\nA=1\n", read_only ? kAttributeReadOnly : kAttributeArchive);
    other = read_only ? 0 : OpenOther(kGenericRead, kShareRead);
    log_.Clear();
    ASSERT_TRUE(reader_.Open(kPath));
    EXPECT_EQ(Calls().find("OpenFile|OpenFile|SizeOfFile"), 0u);
    EXPECT_TRUE(reader_.SelectGroup("S"));
    EXPECT_EQ(reader_.ReadString("A"), "1");
    if (read_only) other = OpenOther(kGenericRead, kShareRead);  // reading is shared
    EXPECT_NE(other, 0u);
    fs_.CloseFile(other);
    EXPECT_EQ(fs_.OpenHandles(), 1);
    reader_.Close();
    EXPECT_EQ(fs_.OpenHandles(), 0);
  }

  // A writer that shares reading locks the reader out: defaults, and nothing else is tried.
  other = OpenOther(kGenericRead | kGenericWrite, kShareRead | 0x2);
  ASSERT_NE(other, 0u);
  log_.Clear();
  EXPECT_FALSE(reader_.Open(kPath));
  EXPECT_EQ(Calls(), "OpenFile|OpenFile");
  EXPECT_TRUE(reader_.SelectGroup(""));  // open, without entries
  ExpectNothingFound();
  reader_.Close();
  EXPECT_EQ(Calls(), "");  // no handle to close
  fs_.CloseFile(other);
}

TEST_F(PreferenceReaderTest, TopSectionHoldsKeysBeforeTheFirstGroup) {
  ASSERT_TRUE(OpenWith("Top=1\r\n;c\r\nOther = 2 \r\n[S]\r\nA=3\r\n"));
  ExpectReads({{"Top", "1"}, {"Other", "2"}, {"A", "d"}});  // current right after Open
  ASSERT_TRUE(reader_.SelectGroup("S"));
  ExpectReads({{"Top", "d"}, {"A", "3"}});
  ASSERT_TRUE(reader_.SelectGroup(""));
  ExpectReads({{"Top", "1"}, {"A", "d"}});
}

TEST_F(PreferenceReaderTest, NamesMatchIgnoringTheCaseOfAsciiLettersOnly) {
  ASSERT_TRUE(OpenWith("[settings]\nprogexe=x\nTITEL=t\n[ Files ]\nKey =2\n[G\xFC]\n\xDC=3\n"));
  for (const char* group : {"Settings", "SETTINGS"}) {
    EXPECT_TRUE(reader_.SelectGroup(group));
    ExpectReads({{"ProgExe", "x"}, {"PROGEXE", "x"}, {"titel", "t"}});
  }
  EXPECT_FALSE(reader_.SelectGroup("Files"));
  EXPECT_TRUE(reader_.SelectGroup(" files "));
  // Trailing blanks of the key were removed; otherwise the name must match in full.
  ExpectReads({{"Key", "2"}, {"Key ", "d"}, {" Key", "d"}, {"Ke", "d"}, {"Keys", "d"}});
  // 0xFC (u umlaut) and 0xDC (U umlaut) differ.
  EXPECT_FALSE(reader_.SelectGroup("G\xDC"));
  EXPECT_TRUE(reader_.SelectGroup("g\xFC"));
  ExpectReads({{"\xDC", "3"}, {"\xFC", "d"}});
}

TEST_F(PreferenceReaderTest, LookupStaysInTheCurrentGroupSkipsCommentsAndTakesTheFirst) {
  ASSERT_TRUE(
      OpenWith("[A]\nX=a\n;Y=comment\n; Y=2\nD=first\nd=second\n[B]\nY=b\n[T]\n[a]\nZ=3\n"));
  ASSERT_TRUE(reader_.SelectGroup("A"));
  ExpectReads({{"X", "a"}, {"Y", "d"}, {";Y", "d"}, {"D", "first"}, {"Z", "d"}});
  EXPECT_EQ(reader_.ReadNumber("D", 5), 0);
  EXPECT_EQ(Enumerate("A"), (Lines{"a", "first", "second"}));
  ASSERT_TRUE(reader_.SelectGroup("B"));
  ExpectReads({{"X", "d"}, {"Y", "b"}});
  EXPECT_FALSE(reader_.SelectGroup("Y=comment"));
}

TEST_F(PreferenceReaderTest, TypicalSettingsAreReadTrimmed) {
  ASSERT_TRUE(
      OpenWith("[Settings\r\n   ProgExe  =  app.exe   \r\nCmd = a=b\r\nScript\r\nLogin=1\r\n"
               "; Comment=1\r\n#x=1\r\nQuoted=\"a b\"\r\nA=  \t v  w \t  \r\n"
               "B=\t\r\n"));
  ASSERT_TRUE(reader_.SelectGroup("Settings"));
  ExpectReads({{"ProgExe", "app.exe"},
               {"Cmd", "a=b"},
               {"Script", ""},
               {"Login", "1"},
               {"Comment", "d"},
               {"#x", "1"},
               {"Quoted", "\"a b\""},
               {"A", "v  w"},
               {"B", ""}});
  EXPECT_EQ(reader_.ReadNumber("Login", 0), 1);
  EXPECT_EQ(reader_.ReadNumber("Script", 99), 0);
  EXPECT_EQ(reader_.ReadString("Missing"), "");  // the default default
}

TEST_F(PreferenceReaderTest, MissingGroupFlag) {
  ASSERT_TRUE(OpenWith("Top=t\n[S]\nA=1\n[T]\nB=2\n"));
  ASSERT_TRUE(reader_.SelectGroup("S"));
  ASSERT_TRUE(reader_.NextKey());
  EXPECT_FALSE(reader_.SelectGroup("Nope"));
  ExpectNothingFound();  // also after a second failed selection
  EXPECT_FALSE(reader_.SelectGroup("S "));
  EXPECT_EQ(reader_.ReadString("A", "d"), "d");
  // A successful selection clears it, the top section included, and so does Open.
  EXPECT_TRUE(reader_.SelectGroup("T"));
  EXPECT_EQ(reader_.ReadString("B"), "2");
  EXPECT_TRUE(reader_.RewindKeys());
  EXPECT_FALSE(reader_.SelectGroup("Nope"));
  EXPECT_EQ(reader_.ReadString("Top", "d"), "d");
  EXPECT_TRUE(reader_.SelectGroup(""));
  EXPECT_EQ(reader_.ReadString("Top"), "t");
  EXPECT_TRUE(reader_.RewindKeys());
  EXPECT_FALSE(reader_.SelectGroup("Nope"));
  ASSERT_TRUE(reader_.Open(kPath));
  EXPECT_EQ(reader_.ReadString("Top"), "t");
}

TEST_F(PreferenceReaderTest, EnumerationYieldsTheValuesOfAGroupInFileOrder) {
  ASSERT_TRUE(
      OpenWith(";c\nT1=1\nT2=2\n[Settings]\nA=1\n[Files]\n; first comment\nF1 = a.exe  \n"
               "F1=b.dll\n;between\nOther=  c\\d.txt\nNoValue\n;last\n[Dirs]\nD=x\\\n"
               "[Empty]\n;only a comment\n[Empty2]\n[Last]"));
  const Lines files{"a.exe", "b.dll", "c\\d.txt", ""};
  const std::pair<std::string, Lines> cases[] = {
      {"", {"1", "2"}},  {"Files", files},    {"files", files},
      {"Dirs", {"x\\"}}, {"Settings", {"1"}}, {"Empty", {}},
      {"Empty2", {}},    {"Last", {}},        {"Data", {"<no group>"}}};
  for (const auto& c : cases) EXPECT_EQ(Enumerate(c.first), c.second) << c.first;
  ASSERT_TRUE(OpenWith("[S]\nA=1\n"));
  EXPECT_EQ(Enumerate(""), Lines{});  // the top section stops at a group on the first line
}

TEST_F(PreferenceReaderTest, OnlyNextKeyMovesTheCursor) {
  ASSERT_TRUE(OpenWith(";c\nTop=t\n[Files]\nA=1\nB=2\n;c\n[Dirs]\nC=3\n;trailing comment"));
  ASSERT_TRUE(reader_.NextKey());  // right after Open the cursor is before the first line
  EXPECT_EQ(reader_.CurrentValue(), "t");
  ASSERT_TRUE(reader_.SelectGroup("Files"));  // on the header, even without RewindKeys
  EXPECT_EQ(reader_.CurrentValue(), "");
  ASSERT_TRUE(reader_.NextKey());
  EXPECT_EQ(reader_.ReadString("B"), "2");
  EXPECT_EQ(reader_.ReadNumber("B", 0), 2);
  EXPECT_EQ(reader_.CurrentValue(), "1");
  ASSERT_TRUE(reader_.NextKey());
  // At the end of a group or of the file NextKey stays false and the cursor stays put.
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(reader_.NextKey());
    EXPECT_EQ(reader_.CurrentValue(), "2");
  }
  ASSERT_TRUE(reader_.RewindKeys());
  EXPECT_EQ(reader_.CurrentValue(), "");
  ASSERT_TRUE(reader_.NextKey());
  EXPECT_EQ(reader_.CurrentValue(), "1");
  EXPECT_EQ(Enumerate("Dirs"), Lines{"3"});
  EXPECT_FALSE(reader_.NextKey());
  EXPECT_EQ(reader_.CurrentValue(), "3");
}

TEST_F(PreferenceReaderTest, ReadNumberFollowsAtoiAndWraps) {
  std::uint32_t big = 0;  // 10^1000 - 1 modulo 2^32
  for (int i = 0; i < 1000; ++i) big = big * 10u + 9u;
  const std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  // No number at the start, a second sign, a blank after the sign, a hex prefix: 0.
  std::vector<std::pair<std::string, std::int32_t>> cases = {
      {"1abc", 1},           {"12 3", 12},         {"+7", 7},
      {"\v\f-9", -9},        {"007", 7},           {"2147483647", 2147483647},
      {"-2147483648", kMin}, {"2147483648", kMin}, {"4294967297", 1},
      {"-4294967297", -1}};
  for (const char* zero : {"abc", "", "--1", "- 1", "0x10", "-0"}) cases.push_back({zero, 0});
  cases.push_back({std::string(1000, '9'), static_cast<std::int32_t>(big)});
  Lines stored;
  for (const auto& c : cases) stored.push_back(c.first);
  OpenNumbered("", stored);
  for (std::size_t i = 0; i < stored.size(); ++i) {
    EXPECT_EQ(reader_.ReadNumber("K" + std::to_string(i), 99), cases[i].second)
        << PrintToString(stored[i]);
  }
  EXPECT_EQ(reader_.ReadNumber("k0", 99), 1);
  EXPECT_EQ(reader_.ReadNumber("Absent", 99), 99);
  EXPECT_EQ(reader_.ReadNumber("Absent", -1), -1);
}

TEST_F(PreferenceReaderTest, NamesInEightBitAndUtf8Mode) {
  // 8-bit mode takes every byte as it is.
  ASSERT_TRUE(OpenWith("[Gr\xFC\xDFn]\n\xE4=\xF6\x80\xFF\nB=\xC3\xBC\n"));
  EXPECT_TRUE(reader_.SelectGroup("GR\xFC\xDFN"));
  ExpectReads({{"\xE4", "\xF6\x80\xFF"}, {"B", "\xC3\xBC"}});
  EXPECT_FALSE(reader_.SelectGroup("Gr\xC3\xBC\xC3\x9Fn"));
  // UTF-8 mode converts the caller's 8-bit names; their UTF-8 bytes are converted again.
  ASSERT_TRUE(OpenWith(kSignature + "[Gr\xC3\xBC\xC3\x9Fn]\n\xC3\xA4=x\nplain=y\n\xC2\xA9=z\n"));
  EXPECT_TRUE(reader_.SelectGroup("gR\xFC\xDFN"));
  ExpectReads({{"\xE4", "x"}, {"PLAIN", "y"}, {"\xC4", "d"}, {"\xA9", "z"}});
  EXPECT_FALSE(reader_.SelectGroup("Gr\xC3\xBC\xC3\x9Fn"));
}

TEST_F(PreferenceReaderTest, Utf8Decoding) {
  // Overlong forms are accepted; a sequence cut short by the end is dropped.
  Pairs cases = {{"\xC1\x81", "A"},        {"\xE0\x81\x81", "A"}, {"\xF0\x80\x83\xBF", "\xFF"},
                 {"\xE0\x83\xBF", "\xFF"}, {"ab\xC3  ", "ab"},    {"ab\xE2\x82", "ab"},
                 {"ab\xF0\x80\x80", "ab"}, {"\xC3", ""}};
  cases.push_back({"z\xC2\x80\xC3\xBC\xC3\xBF", "z\x80\xFC\xFF"});
  cases.push_back({"  f\xC3\xBCr  ", "f\xFCr"});  // trimmed first
  // No value ever holds a NUL: its overlong form is invalid like a character above U+00FF.
  cases.push_back({"\xC0\x80", ""});
  cases.push_back({"..\xC0\x80", ""});
  cases.push_back({"ab\xF7\x80\x80", "ab"});  // the last 4-byte lead, cut short
  cases.push_back({"a\x7F", "a\x7F"});
  cases.push_back({"\xC0\xAE", "."});  // the lowest lead byte, in an overlong form
  // Above U+00FF, a stray continuation byte, a lead byte 0xF8-0xFF or a bad following byte
  // empties the whole value.
  for (const char* emptied : {"\xE2\x82\xAC", "ok \xC4\x80", "\xF0\x9F\x98\x80", "x\x80", "\xBF",
                              "\xC3\xBC\xBC", "\xF8\x80\x80\x81", "a\xFF", "\xFE\x80\x80\x81",
                              "\xC3\x41", "\xE0\x80\xC0", "\xF0\x80\x80\x7F"}) {
    cases.push_back({emptied, ""});
  }
  Lines stored;
  for (const auto& c : cases) stored.push_back(c.first);
  OpenNumbered(kSignature, stored);
  for (std::size_t i = 0; i < stored.size(); ++i) {
    SCOPED_TRACE(PrintToString(stored[i]));
    EXPECT_EQ(reader_.ReadString("K" + std::to_string(i), "default"), cases[i].second);
    ASSERT_TRUE(reader_.NextKey());  // enumeration prepares values the same way
    EXPECT_EQ(reader_.CurrentValue(), cases[i].second);
  }
  EXPECT_FALSE(reader_.NextKey());
  OpenNumbered(kSignature, {"12\xE2\x82\xAC", "\xC3\xBC"});  // ReadNumber does not decode
  EXPECT_EQ(reader_.ReadNumber("K0", 99), 12);
  EXPECT_EQ(reader_.ReadNumber("K1", 99), 0);
}

TEST_F(PreferenceReaderTest, FileSizes) {
  std::string contents = kSignature + "[Files]\r\n";
  for (int i = 0; i < 20000; ++i) contents += "F=" + std::to_string(i) + "\r\n";
  contents += "[Settings]\r\nLong=" + std::string(300000, 'x') + "\r\n";
  ASSERT_TRUE(OpenWith(contents));
  ASSERT_TRUE(reader_.SelectGroup("Settings"));
  EXPECT_EQ(reader_.ReadString("Long"), std::string(300000, 'x'));
  const Lines values = Enumerate("Files");
  ASSERT_EQ(values.size(), 20000u);
  EXPECT_EQ(values.front(), "0");
  EXPECT_EQ(values.back(), "19999");
  // A reported size larger than the content: what is there is read. Beyond memory: empty.
  const std::pair<std::uint64_t, std::string> cases[] = {
      {100, "1"}, {static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()), "d"}};
  for (const auto& c : cases) {
    fs_.AddFile(kPath, "A=1\n");
    fs_.SetReportedSize(kPath, c.first);
    EXPECT_TRUE(reader_.Open(kPath));
    EXPECT_EQ(reader_.ReadString("A", "d"), c.second) << c.first;
    reader_.Close();
    EXPECT_EQ(fs_.OpenHandles(), 0);
  }
}

// A description is the file read whole and closed at once: lookups name their group, and leave
// any other reading alone.
TEST_F(PreferenceReaderTest, DescriptionLooksUpByGroupWithTheFileClosed) {
  fs_.AddFile(kPath, "Top=t\n[Settings]\nProgLink = App \nN=12x\n[List]\nA=1\nB=2\n");
  const std::string p = kPath;
  const struct {
    std::string group, key, path, expected;
  } cases[] = {{"Settings", "ProgLink", p, "App"},
               {"settings", "PROGLINK", p, "App"},
               {"Settings", "Other", p, "d"},
               {"Missing", "ProgLink", p, "d"},
               {"", "Top", p, "t"},
               {"Settings", "ProgLink", "C:\\x.dat", "d"}};
  for (const auto& c : cases) {
    const Description description(fs_, c.path);
    EXPECT_EQ(fs_.OpenHandles(), 0);
    EXPECT_EQ(description.Value(c.group, c.key, "d"), c.expected) << c.group << c.key;
  }
  const Description description(fs_, kPath);
  EXPECT_EQ(description.Number("Settings", "N", -1), 12);
  EXPECT_EQ(description.Number("List", "N", -1), -1);
  std::string listed;
  description.ForEachValue("List", [&](const std::string& v) { listed += v; });
  description.ForEachValue("Missing", [&](const std::string& v) { listed += "?" + v; });
  EXPECT_EQ(listed, "12");
}

}  // namespace
}  // namespace uninstall
