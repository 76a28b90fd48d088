#include "files/text_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "fakes/fake_file_system.h"

namespace uninstall {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class TextFileTest : public ::testing::Test {
 protected:
  std::vector<std::string> ReadLines(const std::string& contents) {
    fs_.AddFile("C:\\in.txt", contents);
    auto file = OpenTextFile(fs_, "C:\\in.txt");
    std::vector<std::string> lines;
    while (file != nullptr && !file->AtEndOfFile()) lines.push_back(file->ReadLine());
    return lines;
  }

  CallLog log_;
  FakeFileSystem fs_{&log_};
};

TEST_F(TextFileTest, WriteLineEndsEachLineWithCrLf) {
  auto file = CreateTextFile(fs_, "C:\\out.txt");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->WriteLine(""), 2u);
  EXPECT_EQ(file->WriteLine("abc"), 5u);
  file->CloseTextFile();
  EXPECT_EQ(fs_.Contents("C:\\out.txt"), "\r\nabc\r\n");
  EXPECT_EQ(fs_.OpenHandles(), 0);
}

TEST_F(TextFileTest, OutputIsBufferedUntilTheBufferIsFull) {
  auto file = CreateTextFile(fs_, "C:\\out.txt");
  file->WriteLine(std::string(4094, 'a'));  // exactly fills the buffer
  EXPECT_THAT(log_.Matching("WriteBytes"), IsEmpty());
  file->WriteLine("b");
  EXPECT_THAT(log_.Matching("WriteBytes"), ElementsAre("WriteBytes C:\\out.txt 4096"));
  file.reset();  // closing at destruction flushes
  EXPECT_THAT(log_.Matching("WriteBytes"),
              ElementsAre("WriteBytes C:\\out.txt 4096", "WriteBytes C:\\out.txt 3"));
  EXPECT_EQ(fs_.Contents("C:\\out.txt"), std::string(4094, 'a') + "\r\nb\r\n");
  EXPECT_EQ(fs_.OpenHandles(), 0);
}

TEST_F(TextFileTest, LongLineGoesStraightAfterPendingOutput) {
  auto file = CreateTextFile(fs_, "C:\\out.txt");
  file->WriteLine("head");
  file->WriteLine(std::string(5000, 'x'));
  file->CloseTextFile();
  EXPECT_THAT(log_.Matching("WriteBytes"),
              ElementsAre("WriteBytes C:\\out.txt 6", "WriteBytes C:\\out.txt 5000",
                          "WriteBytes C:\\out.txt 2"));
  EXPECT_EQ(fs_.Contents("C:\\out.txt"), "head\r\n" + std::string(5000, 'x') + "\r\n");
}

TEST_F(TextFileTest, LinesOfEveryLengthComeBackWhole) {
  std::vector<std::string> lines;
  for (std::size_t length : {0, 1, 4093, 4094, 4095, 4096, 4097, 9000, 3, 0}) {
    lines.push_back(std::string(length, static_cast<char>('a' + lines.size())));
  }
  auto out = CreateTextFile(fs_, "C:\\round.txt");
  for (const auto& line : lines) out->WriteLine(line);
  out.reset();
  auto in = OpenTextFile(fs_, "C:\\round.txt");
  std::vector<std::string> read;
  while (!in->AtEndOfFile()) read.push_back(in->ReadLine());
  EXPECT_EQ(read, lines);
  EXPECT_EQ(in->ReadLine(), "");
}

TEST_F(TextFileTest, EveryKindOfLineEnd) {
  EXPECT_THAT(ReadLines("a\r\nb\nc\rd"), ElementsAre("a", "b", "c", "d"));
  EXPECT_THAT(ReadLines("z"), ElementsAre("z"));
}

TEST_F(TextFileTest, LoneCrAtTheEndEndsTheLastLine) {
  EXPECT_THAT(ReadLines("first\nlast\r"), ElementsAre("first", "last"));
}

TEST_F(TextFileTest, NulEndsALineAndIsDropped) {
  EXPECT_THAT(ReadLines(std::string("a\0b\n\0", 5)), ElementsAre("a", "b", ""));
}

TEST_F(TextFileTest, CrAtTheBufferBoundary) {
  std::string head(4095, 'h');
  EXPECT_THAT(ReadLines(head + "\r\nnext"), ElementsAre(head, "next"));
  EXPECT_THAT(ReadLines(head + "\rnext"), ElementsAre(head, "next"));
}

TEST_F(TextFileTest, AtEndOfFilePutsTheByteBack) {
  fs_.AddFile("C:\\in.txt", "xy");
  auto file = OpenTextFile(fs_, "C:\\in.txt");
  EXPECT_FALSE(file->AtEndOfFile());
  EXPECT_FALSE(file->AtEndOfFile());
  EXPECT_EQ(file->ReadLine(), "xy");
  EXPECT_TRUE(file->AtEndOfFile());
  EXPECT_THAT(ReadLines(""), IsEmpty());

  // Reading after writing starts where the output ended, once the output is out.
  auto both = CreateTextFile(fs_, "C:\\both.txt");
  both->WriteLine("ab");
  EXPECT_TRUE(both->AtEndOfFile());
  EXPECT_EQ(fs_.Contents("C:\\both.txt"), "ab\r\n");
  EXPECT_TRUE(both->CloseTextFile());
}

TEST_F(TextFileTest, CreateReplacesAndFallsBackToTruncating) {
  fs_.AddFile("C:\\old.txt", "old contents");
  fs_.AddFile("C:\\hidden.txt", "old", kAttributeHidden);
  CreateTextFile(fs_, "C:\\old.txt")->WriteLine("new");
  EXPECT_EQ(fs_.Contents("C:\\old.txt"), "new\r\n");
  log_.Clear();
  CreateTextFile(fs_, "C:\\hidden.txt")->WriteLine("new");
  EXPECT_EQ(fs_.Contents("C:\\hidden.txt"), "new\r\n");
  EXPECT_EQ(log_.Matching("OpenFile").size(), 2u);
  EXPECT_EQ(fs_.OpenHandles(), 0);

  // Exclusive creation never touches a file that is already there.
  EXPECT_EQ(CreateTextFile(fs_, "C:\\hidden.txt", TextFileCreation::kExclusive), nullptr);
  EXPECT_EQ(fs_.Contents("C:\\hidden.txt"), "new\r\n");
  EXPECT_NE(CreateTextFile(fs_, "C:\\fresh.txt", TextFileCreation::kExclusive), nullptr);
  EXPECT_TRUE(fs_.Exists("C:\\fresh.txt"));
}

TEST_F(TextFileTest, NoneWhenTheFileCantBeHad) {
  fs_.AddFile("C:\\ro.txt", "keep", kAttributeReadOnly);
  fs_.AddFile("C:\\busy.txt", "keep");
  fs_.HoldOpen("C:\\busy.txt");
  EXPECT_EQ(CreateTextFile(fs_, "C:\\ro.txt"), nullptr);
  EXPECT_EQ(CreateTextFile(fs_, "C:\\busy.txt"), nullptr);
  EXPECT_EQ(CreateTextFile(fs_, "C:\\NoDir\\x.txt"), nullptr);
  EXPECT_EQ(OpenTextFile(fs_, "C:\\missing.txt"), nullptr);
  EXPECT_NE(OpenTextFile(fs_, "C:\\busy.txt"), nullptr);  // others may read along
  EXPECT_EQ(fs_.Contents("C:\\ro.txt"), "keep");
  EXPECT_EQ(fs_.Contents("C:\\busy.txt"), "keep");
  EXPECT_EQ(fs_.OpenHandles(), 0);
}

TEST_F(TextFileTest, TooLongPathIsNotOpened) {
  std::string name = "C:\\" + std::string(257, 'n');  // 260 bytes: allowed
  fs_.AddFile(name, "x");
  EXPECT_NE(OpenTextFile(fs_, name), nullptr);
  log_.Clear();
  EXPECT_EQ(OpenTextFile(fs_, name + "z"), nullptr);
  EXPECT_EQ(CreateTextFile(fs_, name + "z"), nullptr);
  EXPECT_THAT(log_.entries(), IsEmpty());
}

}  // namespace
}  // namespace uninstall
