#include "files/contained_removal.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "fakes/fake_file_system.h"
#include "files/path_probe.h"

namespace uninstall {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ContainedRemovalTest : public ::testing::Test {
 protected:
  CallLog log_;
  FakeFileSystem fs_{&log_};
  NoProgress quiet_;
};

TEST(VerificationRuleTest, FinalPathMustBeTheNameInItsParent) {
  struct Row {
    const char16_t* path;
    const char16_t* directory;
    const char16_t* name;
    bool inside;
  };
  FakeFileSystem names;
  for (const Row& row : {
           Row{u"\\\\?\\C:\\App\\x", u"\\\\?\\C:\\App", u"x", true},
           Row{u"\\\\?\\C:\\App\\x", u"\\\\?\\C:\\App\\", u"X", true},
           Row{u"\\\\?\\C:\\x", u"\\\\?\\C:\\", u"x", true},
           Row{u"\\\\?\\c:\\aPP\\Société", u"\\\\?\\C:\\App", u"SOCIÉTÉ", true},
           Row{u"\\\\?\\C:\\Данные\\x", u"\\\\?\\C:\\данные", u"x", true},
           Row{u"\\\\?\\C:\\Łódź\\šetup.dat", u"\\\\?\\C:\\ŁÓDŹ", u"Šetup.dat", true},
           Row{u"\\\\?\\C:\\App\\Straße", u"\\\\?\\C:\\App", u"STRASSE", false},
           // A short name: its final path holds the long one.
           Row{u"\\\\?\\C:\\App\\Long Name", u"\\\\?\\C:\\App", u"LONGNA~1", true},
           // A link opened as what it points to: elsewhere, or a sibling.
           Row{u"\\\\?\\C:\\Outside", u"\\\\?\\C:\\App", u"Outside", false},
           Row{u"\\\\?\\C:\\App\\Other", u"\\\\?\\C:\\App", u"Sub", false},
           Row{u"\\\\?\\C:\\App\\Sub", u"\\\\?\\C:\\App", u"Tub", false},
           Row{u"\\\\?\\C:\\App\\Sub\\x", u"\\\\?\\C:\\App", u"x", false},
           Row{u"\\\\?\\C:\\Apple\\x", u"\\\\?\\C:\\App", u"x", false},
           Row{u"\\\\?\\C:\\App", u"\\\\?\\C:\\App", u"App", false},
           Row{u"\\\\?\\C:\\App\\", u"\\\\?\\C:\\App", u"", false},
           Row{u"\\\\?\\D:\\App\\x", u"\\\\?\\C:\\App", u"x", false},
           Row{u"x", u"", u"x", false},
       }) {
    EXPECT_EQ(LiesDirectlyIn(names, row.path, row.directory, row.name), row.inside)
        << std::string(row.path, row.path + std::char_traits<char16_t>::length(row.path));
  }
}

TEST_F(ContainedRemovalTest, ValuesBecomeOneNamePerLevelAsTheSystemReadsThem) {
  struct Row {
    const char* value;
    std::vector<std::u16string> names;
  };
  for (const Row& row : {
           Row{"a.txt", {u"a.txt"}},
           Row{"Help\\Images\\", {u"Help", u"Images"}},
           Row{"Sub/Dir//x", {u"Sub", u"Dir", u"x"}},
           Row{".\\Help\\.\\x", {u"Help", u"x"}},
           Row{"", {}},
           // One trailing dot goes from every name, every trailing dot and blank from the last.
           Row{"Dir.\\file. .", {u"Dir", u"file"}},
           Row{"a..\\b", {u"a..", u"b"}},
           Row{"caf\xE9\\x", {u"caf\u00E9", u"x"}},
       }) {
    EXPECT_EQ(NamesOf(fs_, row.value), row.names) << row.value;
  }
  for (const char* outside : {"..\\x", "Help\\..\\..\\x", "C:\\x", "\\x", "...\\x"}) {
    EXPECT_EQ(NamesOf(fs_, outside), std::nullopt) << outside;
  }
}

// On Windows a link is opened as itself and shows as one; under Wine it is opened as what it
// points to, and its final path, or the listing of its name when that final path was worked
// out from the name, tells. Neither is ever passed through.
TEST_F(ContainedRemovalTest, NothingIsReachedThroughALinkHoweverTheSystemOpensIt) {
  for (int opens = 0; opens < 3; ++opens) {
    const bool follows = opens > 0;
    SCOPED_TRACE(opens == 0 ? "as itself" : opens == 1 ? "followed" : "followed, named inside");
    fs_.SetOpensFollowLinks(follows);
    fs_.SetFinalPathsByName(opens == 2);
    fs_.AddFile("C:\\Outside\\doc.txt", "mine");
    fs_.AddFile("C:\\Outside\\Inner\\deep.txt", "mine");
    fs_.AddFile("C:\\App\\own.txt");
    fs_.AddLink("C:\\App\\Link", "C:\\Outside");
    fs_.AddLink("C:\\App\\Tree\\Link", "C:\\Outside");
    ContainedRemoval installation(fs_, "C:\\App\\", BaseName::kTrusted);
    EXPECT_FALSE(installation.RemoveFile("Link\\doc.txt"));
    EXPECT_FALSE(installation.RemoveFile("Link\\Inner\\deep.txt", Force::kYes));
    EXPECT_FALSE(installation.RemoveEmptyDirectory("Link\\Inner\\", quiet_));
    installation.RemoveTree("Tree\\", quiet_);
    installation.RemoveTree("Link\\Inner\\", quiet_);
    installation.SweepFiles(quiet_);
    EXPECT_TRUE(fs_.Exists("C:\\Outside\\doc.txt"));
    EXPECT_TRUE(fs_.Exists("C:\\Outside\\Inner\\deep.txt"));
    EXPECT_FALSE(fs_.Exists("C:\\App\\own.txt"));
    // Held as itself, a link in a tree loses only the link; opened as its target, it stays.
    EXPECT_EQ(fs_.Exists("C:\\App\\Tree\\"), follows);
    for (const std::string& call : log_.Matching("DeleteOnClose")) {
      EXPECT_EQ(call.find("Outside"), std::string::npos) << call;
    }
  }
}

// Wine opens a name relative to the directory itself, but reads its final path from the
// directory's name: once that name leads elsewhere, the directory was swapped while the removal
// ran, and nothing more below the base goes. A link that merely lies in a directory stops
// nothing.
TEST_F(ContainedRemovalTest, ADirectorySeenSwappedStopsEveryRemovalBelowTheBase) {
  fs_.SetOpensFollowLinks(true);
  fs_.SetFinalPathsByName(true);
  for (const char* file : {"Sub\\f1.txt", "Sub\\f2.txt", "Other\\x.txt"}) {
    fs_.AddFile(std::string("C:\\App\\") + file);
  }
  fs_.AddFile("C:\\Outside\\f2.txt", "mine");
  fs_.AddLink("C:\\App\\Sub\\L", "C:\\Outside");
  ContainedRemoval installation(fs_, "C:\\App\\", BaseName::kTrusted);
  EXPECT_FALSE(installation.RemoveFile("Sub\\L\\f2.txt"));
  EXPECT_TRUE(installation.RemoveFile("Sub\\f1.txt"));
  EXPECT_FALSE(installation.disturbed());
  fs_.Rename("C:\\App\\Sub", "C:\\App\\Sub.away");
  fs_.AddLink("C:\\App\\Sub", "C:\\Outside");
  EXPECT_FALSE(installation.RemoveFile("Sub\\f2.txt"));
  EXPECT_TRUE(installation.disturbed());
  EXPECT_FALSE(installation.RemoveFile("Other\\x.txt"));
  installation.SweepFiles(quiet_);
  EXPECT_TRUE(fs_.Exists("C:\\App\\Sub.away\\f2.txt"));
  EXPECT_TRUE(fs_.Exists("C:\\App\\Other\\x.txt"));
  EXPECT_TRUE(fs_.Exists("C:\\Outside\\f2.txt"));
}

// The same inside a tree: its directory swapped for a link while its entries go, and back at
// once, stops the removal at the first entry found elsewhere.
TEST_F(ContainedRemovalTest, ATreeSeenSwappedStopsAtOnce) {
  fs_.SetOpensFollowLinks(true);
  fs_.SetFinalPathsByName(true);
  for (const char* file : {"a.txt", "b.txt", "c.txt"}) {
    fs_.AddFile(std::string("C:\\App\\Tree\\") + file);
    fs_.AddFile(std::string("C:\\Outside\\") + file, "mine");
  }
  log_.before_call = [&](std::int64_t) {
    const std::string& call = log_.entries().back();
    if (call == "ListNode C:\\App\\Tree restart") {
      fs_.Rename("C:\\App\\Tree", "C:\\App\\Tree.away");
      fs_.AddLink("C:\\App\\Tree", "C:\\Outside");
    } else if (call == "OpenNode C:\\App\\Tree.away\\b.txt") {
      fs_.Rename("C:\\App\\Tree", "C:\\App\\Tree.link");
      fs_.Rename("C:\\App\\Tree.away", "C:\\App\\Tree");
    }
  };
  ContainedRemoval installation(fs_, "C:\\App\\", BaseName::kTrusted);
  installation.RemoveTree("Tree", quiet_);
  log_.before_call = nullptr;
  EXPECT_TRUE(installation.disturbed());
  for (const char* file : {"a.txt", "b.txt", "c.txt"}) {
    EXPECT_TRUE(fs_.Exists(std::string("C:\\App\\Tree\\") + file)) << file;
    EXPECT_TRUE(fs_.Exists(std::string("C:\\Outside\\") + file)) << file;
  }
}

// The data directory itself swapped for a link while its files go: nothing more goes there.
TEST_F(ContainedRemovalTest, ADataDirectorySeenSwappedStopsItsRemoval) {
  fs_.SetOpensFollowLinks(true);
  fs_.SetFinalPathsByName(true);
  fs_.AddFile("C:\\Data\\a.txt");
  fs_.AddFile("C:\\Data\\b.txt");
  fs_.AddDirectory("C:\\Data\\Cache");
  fs_.AddFile("C:\\Outside\\b.txt", "mine");
  fs_.AddDirectory("C:\\Outside\\Cache");
  ContainedRemoval data(fs_, "C:\\Data\\", BaseName::kChecked);
  EXPECT_TRUE(data.RemoveFile("a.txt"));
  fs_.Rename("C:\\Data", "C:\\Data.away");
  fs_.AddLink("C:\\Data", "C:\\Outside");
  EXPECT_FALSE(data.RemoveFile("b.txt"));
  EXPECT_TRUE(data.disturbed());
  EXPECT_FALSE(data.RemoveEmptyDirectory("Cache", quiet_));
  EXPECT_TRUE(fs_.Exists("C:\\Data.away\\b.txt"));
  EXPECT_TRUE(fs_.Exists("C:\\Data.away\\Cache\\"));
  EXPECT_TRUE(fs_.Exists("C:\\Outside\\b.txt"));
  EXPECT_TRUE(fs_.Exists("C:\\Outside\\Cache\\"));
}

// A link that merely lies in the data directory stops nothing; the data directory's own name is
// what its swap would be checked by.
TEST_F(ContainedRemovalTest, ALinkInTheDataDirectoryIsPassedOverAlone) {
  fs_.SetOpensFollowLinks(true);
  fs_.SetFinalPathsByName(true);
  fs_.AddFile("C:\\Data\\a.txt");
  fs_.AddFile("C:\\Outside\\x.txt", "mine");
  fs_.AddLink("C:\\Data\\Link", "C:\\Outside");
  fs_.AddLink("C:\\Data\\FileLink", "C:\\Outside\\x.txt");
  ContainedRemoval data(fs_, "C:\\Data\\", BaseName::kChecked);
  EXPECT_FALSE(data.RemoveFile("Link\\x.txt"));
  EXPECT_FALSE(data.RemoveFile("FileLink"));
  EXPECT_FALSE(data.disturbed());
  EXPECT_TRUE(data.RemoveFile("a.txt"));
  EXPECT_TRUE(fs_.Exists("C:\\Outside\\x.txt"));
}

TEST_F(ContainedRemovalTest, ReadOnlyGoesOnlyByForceThroughTheSameHandle) {
  fs_.AddFile("C:\\App\\ro.txt", "", kAttributeReadOnly | kAttributeHidden);
  fs_.AddFile("C:\\App\\ro2.txt", "", kAttributeReadOnly);
  ContainedRemoval installation(fs_, "C:\\App\\", BaseName::kTrusted);
  EXPECT_FALSE(installation.RemoveFile("ro.txt"));
  EXPECT_EQ(fs_.Attributes("C:\\App\\ro.txt"), kAttributeReadOnly | kAttributeHidden);
  EXPECT_TRUE(installation.RemoveFile("ro2.txt", Force::kYes));
  EXPECT_FALSE(fs_.Exists("C:\\App\\ro2.txt"));
  EXPECT_THAT(log_.Matching("SetAttributes"), IsEmpty());
  EXPECT_THAT(log_.Matching("SetNodeAttributes"),
              ElementsAre("SetNodeAttributes C:\\App\\ro2.txt 128"));
}

// A deletion counts only when the name is gone afterwards: another program's handle keeps it.
// A file counts as removed when the system lets it go, as DeleteFile counts it: another
// program's handle that shares deletion keeps the name until it closes. A directory is no file.
TEST_F(ContainedRemovalTest, AFileCountsAsRemovedWhenTheSystemLetsItGo) {
  fs_.AddFile("C:\\App\\shared.dll");
  fs_.AddDirectory("C:\\App\\Dir");
  std::uint32_t error = 0;
  NodeHandle other = fs_.OpenDirectoryPath(u"C:\\App\\shared.dll", 0, &error);
  ASSERT_TRUE(other.valid());
  ContainedRemoval installation(fs_, "C:\\App\\", BaseName::kTrusted);
  EXPECT_TRUE(installation.RemoveFile("shared.dll"));
  EXPECT_TRUE(fs_.Exists("C:\\App\\shared.dll"));
  EXPECT_FALSE(installation.RemoveFile("Dir"));
  EXPECT_FALSE(installation.RemoveFile("missing.txt"));
  EXPECT_TRUE(fs_.Exists("C:\\App\\Dir\\"));
  fs_.CloseNode(other);
  EXPECT_FALSE(fs_.Exists("C:\\App\\shared.dll"));
  EXPECT_THAT(log_.Matching("NodeAttributes C:\\App\\"), IsEmpty());  // files: none
}

TEST_F(ContainedRemovalTest, TreeGoesDepthFirstWithEverythingInIt) {
  fs_.AddFile("C:\\Keep.txt");
  fs_.AddFile("C:\\T\\a.txt", "", kAttributeReadOnly);
  fs_.AddFile("C:\\T\\B\\c.txt", "", kAttributeHidden | kAttributeSystem);
  fs_.AddDirectory("C:\\T\\B\\Locked", kAttributeDirectory | kAttributeReadOnly);
  fs_.AddFile("C:\\T\\B\\Locked\\x.dat", "", kAttributeReadOnly);
  fs_.AddFile("C:\\T\\d.txt");
  // Inside a tree no path is formed, so a name beyond the path limit goes too.
  fs_.AddFile("C:\\T\\" + std::string(200, 'l') + "\\" + std::string(200, 'm'));
  ContainedRemoval(fs_, "C:\\", BaseName::kTrusted).RemoveTree("T", quiet_);
  EXPECT_THAT(fs_.AllPaths(), ElementsAre("C:\\Keep.txt"));
  // Read-only shows where the deletion is refused: cleared through the same handle, and the
  // deletion asked for once more.
  EXPECT_THAT(log_.Matching("DeleteOnClose C:\\T\\B"),
              ElementsAre("DeleteOnClose C:\\T\\B\\c.txt", "DeleteOnClose C:\\T\\B\\Locked\\x.dat",
                          "DeleteOnClose C:\\T\\B\\Locked\\x.dat", "DeleteOnClose C:\\T\\B\\Locked",
                          "DeleteOnClose C:\\T\\B\\Locked", "DeleteOnClose C:\\T\\B"));
  EXPECT_THAT(log_.Matching("SetNodeAttributes C:\\T\\B"),
              ElementsAre("SetNodeAttributes C:\\T\\B\\Locked\\x.dat 128",
                          "SetNodeAttributes C:\\T\\B\\Locked 128"));
  EXPECT_EQ(fs_.OpenHandles(), 0);
}

// A tree goes whatever its depth, without a call per level and without the final path of every
// level at once; where the system refuses a node, the directories above it stay whole, and the
// next value is removed as usual.
#if defined(__SANITIZE_ADDRESS__)
// The same walk, less deep: the sanitizer's allocator maps each long path anew.
constexpr int kDeepLevels = 10000;
#else
constexpr int kDeepLevels = 100000;
#endif
TEST(DeepTreeTest, ATreeOfAnyDepthGoesOrStaysWhole) {
  FakeFileSystem fs;  // no call log: a hundred thousand levels would fill it
  NoProgress quiet;
  std::string deep = "C:\\App\\Deep";
  std::string middle;
  for (int level = 1; level <= kDeepLevels; ++level) {
    deep += "\\d";
    if (level == kDeepLevels / 2) middle = deep;
  }
  fs.AddDirectory(deep);
  fs.AddFile(middle + "\\half.txt", "x", kAttributeReadOnly);
  fs.AddFile(deep + "\\bottom.txt");
  std::string held = "C:\\App\\Held";
  for (int level = 1; level <= 1000; ++level) held += "\\d";
  fs.AddFile(held + "\\in use.txt");
  fs.HoldOpen(held + "\\in use.txt");
  fs.AddFile(held + "\\spare.txt");
  fs.AddFile("C:\\App\\Other\\x.txt");

  ContainedRemoval installation(fs, "C:\\App\\", BaseName::kTrusted);
  for (const char* tree : {"Deep\\", "Held\\", "Other\\"}) installation.RemoveTree(tree, quiet);
  EXPECT_FALSE(fs.Exists("C:\\App\\Deep"));
  EXPECT_TRUE(fs.Exists(held + "\\in use.txt"));
  EXPECT_FALSE(fs.Exists(held + "\\spare.txt"));
  EXPECT_FALSE(fs.Exists("C:\\App\\Other"));
  EXPECT_EQ(fs.OpenHandles(), 1);  // the base's
}

TEST_F(ContainedRemovalTest, FileHeldOpenKeepsItselfAndItsParents) {
  fs_.AddFile("C:\\T\\a\\b\\busy.dll");
  fs_.HoldOpen("C:\\T\\a\\b\\busy.dll");
  fs_.AddFile("C:\\T\\a\\b\\free.dll");
  fs_.AddFile("C:\\T\\a\\other.txt");
  fs_.AddFile("C:\\T\\z\\last.txt");
  ContainedRemoval(fs_, "C:\\", BaseName::kTrusted).RemoveTree("T\\", quiet_);
  EXPECT_THAT(fs_.AllPaths(),
              ElementsAre("C:\\T\\", "C:\\T\\a\\", "C:\\T\\a\\b\\", "C:\\T\\a\\b\\busy.dll"));
}

TEST_F(ContainedRemovalTest, SweepClearsAndDeletesFilesButEntersNoDirectory) {
  struct CountingProgress : Progress {
    void Show(const std::string&) override {}
    void Beat() override { ++beats; }
    int beats = 0;
  } heartbeat;
  fs_.AddDirectory("C:\\Own", kAttributeDirectory | kAttributeReadOnly);
  fs_.AddFile("C:\\Own\\ro.exe", "", kAttributeReadOnly | kAttributeHidden);
  fs_.AddFile("C:\\Own\\b.txt");
  ContainedRemoval(fs_, "C:\\Own\\", BaseName::kTrusted).SweepFiles(heartbeat);
  EXPECT_FALSE(fs_.Exists("C:\\Own"));
  EXPECT_EQ(heartbeat.beats, 2);
  fs_.AddFile("C:\\Own2\\f.txt", "", kAttributeReadOnly);
  fs_.AddFile("C:\\Own2\\Sub\\g.txt");
  ContainedRemoval(fs_, "C:\\Own2", BaseName::kTrusted).SweepFiles(quiet_);
  EXPECT_THAT(fs_.AllPaths(), ElementsAre("C:\\Own2\\", "C:\\Own2\\Sub\\", "C:\\Own2\\Sub\\g.txt"));
  EXPECT_EQ(fs_.OpenHandles(), 0);
}

TEST_F(ContainedRemovalTest, MissingBasesFilesAndLongPathsNameNothing) {
  fs_.AddFile("C:\\file.txt");
  std::string victim = "C:\\" + std::string(250, 'v');
  fs_.AddFile(victim + "\\precious.dat");
  for (const char* base : {"C:\\Missing\\", "", "\\", "C:\\file.txt"}) {
    ContainedRemoval missing(fs_, base, BaseName::kTrusted);
    EXPECT_FALSE(missing.IsDirectory()) << base;
    missing.RemoveTree("", quiet_);
    missing.SweepFiles(quiet_);
    EXPECT_FALSE(missing.RemoveFile("file.txt")) << base;
  }
  ContainedRemoval root(fs_, "C:\\", BaseName::kTrusted);
  root.RemoveTree("Missing", quiet_);
  root.RemoveTree("file.txt", quiet_);
  // Joined with the base, the value would pass the path limit; at the limit it is taken.
  const std::string too_long = std::string(250, 'v') + "\\precious.dat";
  EXPECT_FALSE(root.RemoveFile(too_long));
  root.RemoveTree(std::string(250, 'v') + "\\.\\" + std::string(20, '\\'), quiet_);
  EXPECT_THAT(fs_.AllPaths(),
              ElementsAre("C:\\file.txt", victim + "\\", victim + "\\precious.dat"));
  EXPECT_THAT(log_.Matching("DeleteOnClose"), IsEmpty());
  EXPECT_THAT(log_.Matching("SetNodeAttributes"), IsEmpty());
  const std::string at_limit = std::string(250, 'v') + "\\" + std::string(6, 'w');
  fs_.AddFile("C:\\" + at_limit);
  ASSERT_EQ(3 + at_limit.size(), kMaxPathBytes);
  EXPECT_TRUE(root.RemoveFile(at_limit));
}

}  // namespace
}  // namespace uninstall
