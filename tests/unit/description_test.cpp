// Tests of the reading of uninstall.dat.
#include "description/description.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "fakes/call_log.h"
#include "fakes/fake_file_system.h"

namespace uninstall {
namespace {

using Kind = Description::EntryKind;
using Lines = std::vector<std::string>;
using Pairs = std::vector<std::pair<std::string, std::string>>;
using ::testing::PrintToString;

const char kPath[] = "C:\\App\\uninstall.dat";
const std::string kSignature = "\xEF\xBB\xBF";

// The entries of `data` in a compact form: "G:name|C:text|K:key=value".
std::string Describe(const std::string& data) {
  std::unique_ptr<Description::Entry[]> scanned;
  std::size_t count = 0;
  EXPECT_TRUE(ScanPreferenceEntries(data, &scanned, &count));
  const std::vector<Description::Entry> entries(scanned.get(), scanned.get() + count);
  auto part = [&](std::uint32_t begin, std::uint32_t end) {
    return data.substr(begin, end - begin);
  };
  std::string result;
  for (const Description::Entry& entry : entries) {
    if (!result.empty()) result += "|";
    const std::string name = part(entry.name_begin, entry.name_end);
    if (entry.kind == Kind::kGroup) result += "G:" + name;
    if (entry.kind == Kind::kComment) result += "C:" + name;
    if (entry.kind == Kind::kKey) {
      result += "K:" + name + "=" + part(entry.value_begin, entry.value_end);
    }
  }
  return result;
}

// Each pair: the data and its Describe()d entries.
void ExpectParses(const Pairs& cases) {
  for (const auto& c : cases) EXPECT_EQ(Describe(c.first), c.second) << PrintToString(c.first);
}

// Each entry knows its line: CR LF, LF and CR each end one; blank lines count.
TEST(DescriptionScanTest, EntriesKnowTheirLines) {
  const std::string data = "A=1\r\n\r\n  B\rC\n\n[G]\r\r\n; c\n" + std::string(200, '\n') + "D";
  std::unique_ptr<Description::Entry[]> entries;
  std::size_t count = 0;
  ASSERT_TRUE(ScanPreferenceEntries(data, &entries, &count));
  std::vector<std::uint32_t> lines;
  for (std::size_t i = 0; i < count; ++i) lines.push_back(entries[i].line);
  EXPECT_EQ(lines, (std::vector<std::uint32_t>{1, 3, 4, 6, 8, 209}));
}

TEST(DescriptionScanTest, LinesOfEveryKind) {
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

TEST(DescriptionScanTest, LineEndsOfAllKinds) {
  const std::string expected = "G:Settings|C:note|K:Script=|K:A=1|K:B=2|G:Files|K:F=x";
  for (const std::string eol : {"\r\n", "\n", "\r", "\n\r", "\r\r", "\n\n\r\n", "\r\r\n\n"}) {
    const std::string text = "[Settings]" + eol + "; note" + eol + "Script  " + eol + "A=1" + eol +
                             eol + "B=2" + eol + "[Files]" + eol + "F=x";
    ExpectParses({{text, expected}, {text + eol, expected}});
  }
}

class DescriptionTest : public ::testing::Test {
 protected:
  DescriptionTest() : fs_(&log_) {}

  // Writes `contents` to kPath and reads it.
  Description Read(const std::string& contents) {
    fs_.AddFile(kPath, contents);
    return Description(fs_, kPath);
  }

  // A file holding `values` as K0, K1, ... of group [V].
  static std::string Numbered(const std::string& signature, const Lines& values) {
    std::string contents = signature + "[V]\n";
    for (std::size_t i = 0; i < values.size(); ++i) {
      contents += "K" + std::to_string(i) + "=" + values[i] + "\n";
    }
    return contents;
  }

  static Lines Listed(const Description& description, const std::string& group) {
    Lines values;
    description.ForEachValue(group, [&](const std::string& value) { values.push_back(value); });
    return values;
  }

  // The values of the top section and of group S: "top:1,2,|S:3,".
  static std::string Holds(const Description& description) {
    std::string result = "top:";
    for (const std::string& value : Listed(description, "")) result += value + ",";
    result += "|S:";
    for (const std::string& value : Listed(description, "S")) result += value + ",";
    return result;
  }

  // Each pair: a key of `group` and what Value gives for it with the default "d".
  static void ExpectValues(const Description& description, const std::string& group,
                           const Pairs& reads) {
    for (const auto& read : reads) {
      EXPECT_EQ(description.Value(group, read.first, "d"), read.second)
          << PrintToString(group + "/" + read.first);
    }
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
};

TEST_F(DescriptionTest, ReadsTheWholeFileRecognisesTheSignatureAndClosesIt) {
  const std::string kRewound = "ReadBytes 3|MovePointer 0 start|ReadBytes ";
  // A UTF-8 file decodes C3 BC to FC, an 8-bit one keeps both bytes.
  const struct {
    std::string contents;
    std::string holds, reads;  // `reads`: the calls between SizeOfFile and CloseFile
  } cases[] = {
      {"[S]\r\nA=1\r\n", "top:|S:1,", kRewound + "10"},
      {kSignature + "A=\xC3\xBC\n", "top:\xFC,|S:", "ReadBytes 3|ReadBytes 5"},
      {"A=\xC3\xBC\n", "top:\xC3\xBC,|S:", kRewound + "5"},
      {kSignature, "top:|S:", "ReadBytes 3"},
      {"", "top:|S:", ""},
      // Files shorter than the signature are read without looking for it.
      {"\xEF\xBB", "top:,|S:", "ReadBytes 2"},
      // Three bytes that are not (or almost) the signature are read from the start.
      {"A=1", "top:1,|S:", kRewound + "3"},
      // A NUL byte ends the data.
      {std::string("A=1\nB=x\0y\nC=3\n", 14), "top:1,x,|S:", kRewound + "14"},
      {"\xEF\xBB\x41=1\n", "top:1,|S:", kRewound + "6"},
      {"A=\xEF\xBB\xBF\n", "top:\xEF\xBB\xBF,|S:", kRewound + "6"},  // only at the start
      // A UTF-16 file is taken as 8-bit bytes and gives nothing usable.
      {std::string("\xFF\xFE[\0S\0]\0\r\0\n\0A\0=\0x\0", 18), "top:,|S:", kRewound + "18"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(PrintToString(c.contents));
    fs_.AddFile(kPath, c.contents);
    log_.Clear();
    const Description description(fs_, kPath);
    EXPECT_EQ(Calls(),
              "OpenFile|SizeOfFile|" + c.reads + (c.reads.empty() ? "" : "|") + "CloseFile");
    EXPECT_EQ(fs_.OpenHandles(), 0);
    EXPECT_EQ(Holds(description), c.holds);
  }
  // A file that yields fewer bytes than its size said: nothing is made of the missing rest.
  fs_.AddFile(kPath, "A=1");
  fs_.SetReportedSize(kPath, 10);
  EXPECT_EQ(Holds(Description(fs_, kPath)), "top:1,|S:");
  // A file too large to be held in memory reads like one that cannot be read.
  fs_.SetReportedSize(kPath, std::uint64_t{5} << 30);
  log_.Clear();
  EXPECT_EQ(Holds(Description(fs_, kPath)), "top:|S:");
  EXPECT_EQ(Calls(), "OpenFile|SizeOfFile|ReadBytes 3|MovePointer 0 start|CloseFile");
}

TEST_F(DescriptionTest, ClosesTheFileAtOnceAndNeverWritesIt) {
  const std::string contents = kSignature + "[S]\r\nA = 1  \r\n;c\r\n";
  const Description description = Read(contents);
  EXPECT_EQ(fs_.OpenHandles(), 0);
  EXPECT_EQ(fs_.Contents(kPath), contents);
  const FileHandle writer = OpenOther(kGenericWrite, 0);  // shares nothing
  EXPECT_TRUE(writer.valid());
  fs_.CloseFile(writer);
  EXPECT_EQ(description.Value("S", "A"), "1");
}

// Read whole at one moment: lookups answer from what was read then.
TEST_F(DescriptionTest, LaterChangesOfTheFileAreNotSeen) {
  const Description description = Read("[S]\nA=1\n");
  fs_.AddFile(kPath, "[S]\nA=2\nB=3\n");
  ExpectValues(description, "S", {{"A", "1"}, {"B", "d"}});
  ASSERT_TRUE(fs_.EraseFile(kPath));
  EXPECT_EQ(description.Number("S", "A", -1), 1);
  EXPECT_EQ(Listed(description, "s"), Lines{"1"});
}

// Numbered keys are visited in the order of their numbers, each as a lookup would find it.
TEST_F(DescriptionTest, NumberedValuesAreSpelledAsTheLookupSpellsThem) {
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
      {"[T]\nTask100000000000000000=b\nTask10=a\n", 9223372036854775807, "a,b,"},  // 18 digits
      {"Task7=a\n[T]\n[T]\nTask8=b\n", 100, ""},  // the top section and a second [T] don't count
      {kSignature + "[T]\nTask\xC3\xBC"
                    "4=a\nTask3=\xC3\xBC\n",
       10, "\xFC,"},
  };
  for (const auto& c : cases) {
    std::string visited;
    Read(c.contents).ForEachNumberedValue("T", "Task", c.last, [&](const std::string& v) {
      visited += v + ",";
    });
    EXPECT_EQ(visited, c.visited) << PrintToString(c.contents);
  }
  int visits = 0;
  const Description description = Read(kSignature + "Task1=top\n[T]\nTask\xC3\xBC" + "4=a\n");
  description.ForEachNumberedValue("Missing", "Task", 10, [&](const std::string&) { ++visits; });
  description.ForEachNumberedValue("t", "Task\xFC", 10, [&](const std::string&) { ++visits; });
  EXPECT_EQ(visits, 1);  // nothing of a missing group; the prefix is compared in UTF-8
}

TEST_F(DescriptionTest, FileThatCannotBeOpenedGivesDefaults) {
  fs_.AddDirectory("C:\\App\\dir.dat");
  for (const char* path : {"C:\\App\\missing.dat", "C:\\App\\dir.dat"}) {
    SCOPED_TRACE(path);
    log_.Clear();
    const Description description(fs_, path);
    EXPECT_EQ(log_.entries().size(), 2u);  // both ways of opening, and nothing to close
    EXPECT_EQ(fs_.OpenHandles(), 0);
    EXPECT_EQ(Holds(description), "top:|S:");
    EXPECT_EQ(description.Value("", "A"), "");  // the default default
    EXPECT_EQ(description.Value("S", "A", "d"), "d");
    EXPECT_EQ(description.Number("", "A", -3), -3);
    int visits = 0;
    description.ForEachNumberedValue("", "A", 10, [&](const std::string&) { ++visits; });
    EXPECT_EQ(visits, 0);
  }
}

TEST_F(DescriptionTest, SharingAndFallbackToReadOnlyAccess) {
  const std::string kRead = "SizeOfFile|ReadBytes 3|MovePointer 0 start|ReadBytes 8|CloseFile";
  const std::uint32_t kShareBoth = kShareRead | 0x2;
  // Opened read-write sharing reading, or else read-only sharing reading; `held`: how another
  // program holds the file meanwhile, if it does.
  const struct {
    const char* what;
    std::uint32_t attributes;
    bool held;
    std::uint32_t access, share;
    std::string calls, value;
  } cases[] = {
      {"free", kAttributeArchive, false, 0, 0, "OpenFile|" + kRead, "1"},
      {"read-only", kAttributeReadOnly, false, 0, 0, "OpenFile|OpenFile|" + kRead, "1"},
      {"plain reader", kAttributeArchive, true, kGenericRead, kShareRead,
       "OpenFile|OpenFile|" + kRead, "1"},
      {"reader sharing writing", kAttributeArchive, true, kGenericRead, kShareBoth,
       "OpenFile|" + kRead, "1"},
      // A writer that shares reading locks the reader out: defaults, and nothing else is tried.
      {"writer", kAttributeArchive, true, kGenericRead | kGenericWrite, kShareBoth,
       "OpenFile|OpenFile", "d"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs_.AddFile(kPath, "[S]\nA=1\n", c.attributes);
    const FileHandle other = c.held ? OpenOther(c.access, c.share) : FileHandle();
    ASSERT_EQ(other.valid(), c.held);
    log_.Clear();
    EXPECT_EQ(Description(fs_, kPath).Value("S", "A", "d"), c.value);
    EXPECT_EQ(Calls(), c.calls);
    EXPECT_EQ(fs_.OpenHandles(), c.held ? 1 : 0);
    if (c.held) fs_.CloseFile(other);
  }
}

TEST_F(DescriptionTest, TopSectionHoldsKeysBeforeTheFirstGroup) {
  const Description description = Read("Top=1\r\n;c\r\nOther = 2 \r\n[S]\r\nA=3\r\n");
  ExpectValues(description, "", {{"Top", "1"}, {"Other", "2"}, {"A", "d"}});
  ExpectValues(description, "S", {{"Top", "d"}, {"A", "3"}});
  // A missing group finds nothing, not even in the top section.
  ExpectValues(description, "Nope", {{"Top", "d"}, {"A", "d"}});
  ExpectValues(description, "S ", {{"A", "d"}});
}

TEST_F(DescriptionTest, NamesMatchIgnoringTheCaseOfAsciiLettersOnly) {
  const Description description =
      Read("[settings]\nprogexe=x\nTITEL=t\n[ Files ]\nKey =2\n[G\xFC]\n\xDC=3\n");
  for (const char* group : {"Settings", "SETTINGS"}) {
    ExpectValues(description, group, {{"ProgExe", "x"}, {"PROGEXE", "x"}, {"titel", "t"}});
  }
  ExpectValues(description, "Files", {{"Key", "d"}});
  // Trailing blanks of the key were removed; otherwise the name must match in full.
  ExpectValues(description, " files ",
               {{"Key", "2"}, {"Key ", "d"}, {" Key", "d"}, {"Ke", "d"}, {"Keys", "d"}});
  // 0xFC (u umlaut) and 0xDC (U umlaut) differ.
  ExpectValues(description, "G\xDC", {{"\xDC", "d"}});
  ExpectValues(description, "g\xFC", {{"\xDC", "3"}, {"\xFC", "d"}});
}

TEST_F(DescriptionTest, LookupStaysInItsGroupSkipsCommentsAndTakesTheFirst) {
  const Description description =
      Read("[A]\nX=a\n;Y=comment\n; Y=2\nD=first\nd=second\n[B]\nY=b\n[T]\n[a]\nZ=3\n");
  ExpectValues(description, "A", {{"X", "a"}, {"Y", "d"}, {";Y", "d"}, {"D", "first"}, {"Z", "d"}});
  ExpectValues(description, "B", {{"X", "d"}, {"Y", "b"}});
  EXPECT_EQ(description.Number("A", "D", 5), 0);
  EXPECT_EQ(Listed(description, "A"), (Lines{"a", "first", "second"}));
}

TEST_F(DescriptionTest, TypicalSettingsAreReadTrimmed) {
  const Description description = Read(
      "[Settings\r\n   ProgExe  =  app.exe   \r\nCmd = a=b\r\nScript\r\nLogin=1\r\n"
      "; Comment=1\r\n#x=1\r\nQuoted=\"a b\"\r\nA=  \t v  w \t  \r\nB=\t\r\n");
  ExpectValues(description, "Settings",
               {{"ProgExe", "app.exe"},
                {"Cmd", "a=b"},
                {"Script", ""},
                {"Login", "1"},
                {"Comment", "d"},
                {"#x", "1"},
                {"Quoted", "\"a b\""},
                {"A", "v  w"},
                {"B", ""}});
  EXPECT_EQ(description.Number("Settings", "Login", 0), 1);
  EXPECT_EQ(description.Number("Settings", "Script", 99), 0);
  EXPECT_EQ(description.Value("Settings", "Missing"), "");  // the default default
}

TEST_F(DescriptionTest, EnumerationYieldsTheValuesOfAGroupInFileOrder) {
  const Description description = Read(
      ";c\nT1=1\nT2=2\n[Settings]\nA=1\n[Files]\n; first comment\nF1 = a.exe  \n"
      "F1=b.dll\n;between\nOther=  c\\d.txt\nNoValue\n;last\n[Dirs]\nD=x\\\n"
      "[Empty]\n;only a comment\n[Empty2]\n[Last]");
  const Lines files{"a.exe", "b.dll", "c\\d.txt", ""};
  const std::pair<std::string, Lines> cases[] = {
      {"", {"1", "2"}}, {"Files", files}, {"files", files}, {"Dirs", {"x\\"}}, {"Settings", {"1"}},
      {"Empty", {}},    {"Empty2", {}},   {"Last", {}},     {"Data", {}}};
  for (const auto& c : cases) EXPECT_EQ(Listed(description, c.first), c.second) << c.first;
  // The top section stops at a group on the first line.
  EXPECT_EQ(Listed(Read("[S]\nA=1\n"), ""), Lines{});
}

TEST_F(DescriptionTest, NumberFollowsAtoiAndWraps) {
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
  const Description description = Read(Numbered("", stored));
  for (std::size_t i = 0; i < stored.size(); ++i) {
    EXPECT_EQ(description.Number("V", "K" + std::to_string(i), 99), cases[i].second)
        << PrintToString(stored[i]);
  }
  EXPECT_EQ(description.Number("v", "k0", 99), 1);
  EXPECT_EQ(description.Number("V", "Absent", 99), 99);
  EXPECT_EQ(description.Number("V", "Absent", -1), -1);
}

TEST_F(DescriptionTest, NamesInEightBitAndUtf8Mode) {
  // 8-bit mode takes every byte as it is.
  const Description eight_bit = Read("[Gr\xFC\xDFn]\n\xE4=\xF6\x80\xFF\nB=\xC3\xBC\n");
  ExpectValues(eight_bit, "GR\xFC\xDFN", {{"\xE4", "\xF6\x80\xFF"}, {"B", "\xC3\xBC"}});
  ExpectValues(eight_bit, "Gr\xC3\xBC\xC3\x9Fn", {{"B", "d"}});
  // UTF-8 mode converts the caller's 8-bit names; their UTF-8 bytes are converted again.
  const Description utf8 =
      Read(kSignature + "[Gr\xC3\xBC\xC3\x9Fn]\n\xC3\xA4=x\nplain=y\n\xC2\xA9=z\n");
  ExpectValues(utf8, "gR\xFC\xDFN", {{"\xE4", "x"}, {"PLAIN", "y"}, {"\xC4", "d"}, {"\xA9", "z"}});
  ExpectValues(utf8, "Gr\xC3\xBC\xC3\x9Fn", {{"PLAIN", "d"}});
}

TEST_F(DescriptionTest, Utf8Decoding) {
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
  Lines stored, expected;
  for (const auto& c : cases) {
    stored.push_back(c.first);
    expected.push_back(c.second);
  }
  const Description description = Read(Numbered(kSignature, stored));
  for (std::size_t i = 0; i < stored.size(); ++i) {
    EXPECT_EQ(description.Value("V", "K" + std::to_string(i), "default"), expected[i])
        << PrintToString(stored[i]);
  }
  EXPECT_EQ(Listed(description, "V"), expected);  // enumeration prepares values the same way
  // Number does not decode.
  const Description numbers = Read(Numbered(kSignature, {"12\xE2\x82\xAC", "\xC3\xBC"}));
  EXPECT_EQ(numbers.Number("V", "K0", 99), 12);
  EXPECT_EQ(numbers.Number("V", "K1", 99), 0);
}

TEST_F(DescriptionTest, FileSizes) {
  std::string contents = kSignature + "[Files]\r\n";
  for (int i = 0; i < 20000; ++i) contents += "F=" + std::to_string(i) + "\r\n";
  contents += "[Settings]\r\nLong=" + std::string(300000, 'x') + "\r\n";
  const Description description = Read(contents);
  EXPECT_EQ(description.Value("Settings", "Long"), std::string(300000, 'x'));
  const Lines values = Listed(description, "Files");
  ASSERT_EQ(values.size(), 20000u);
  EXPECT_EQ(values.front(), "0");
  EXPECT_EQ(values.back(), "19999");
  // A reported size larger than the content: what is there is read. Beyond memory: empty.
  const std::pair<std::uint64_t, std::string> cases[] = {
      {100, "1"}, {static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()), "d"}};
  for (const auto& c : cases) {
    fs_.AddFile(kPath, "A=1\n");
    fs_.SetReportedSize(kPath, c.first);
    EXPECT_EQ(Description(fs_, kPath).Value("", "A", "d"), c.second) << c.first;
    EXPECT_EQ(fs_.OpenHandles(), 0);
  }
}

}  // namespace
}  // namespace uninstall
