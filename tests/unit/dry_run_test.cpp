// The dry run: the real uninstallation on the overlays, which read the system's parts and keep
// every change to themselves.
#include "plan/dry_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>

#include "fakes/fake_world.h"
#include "files/path_probe.h"
#include "model/node_rules.h"
#include "names/encodings.h"
#include "plan/plan_file_system.h"
#include "plan/plan_registry.h"
#include "shell/registry_deletion.h"

namespace uninstall {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

std::vector<std::string> Plan(FakeWorld& world, PlanMode mode) {
  return PlanUninstallation(
      SystemParts{world.fs, world.processes, world.registry, world.registry, world.security},
      "C:\\App\\Uninstall.exe", mode);
}

// The plan of the rich installation in each mode is what the real run then removes; making it
// changes nothing and leaves no handle open.
TEST(DryRunTest, PlansWhatTheRunRemovesAndChangesNothing) {
  for (const bool window : {false, true}) {
    SCOPED_TRACE(window ? "delete all" : "quiet");
    FakeWorld world(kRichDescription);
    const std::set<std::string> before = world.Holdings();
    const std::vector<std::string> plan =
        Plan(world, window ? PlanMode::kDeleteAll : PlanMode::kQuiet);
    EXPECT_EQ(world.Holdings(), before);
    EXPECT_EQ(world.fs.OpenHandles(), 0);
    EXPECT_THAT(plan, Contains("run C:\\App\\before.exe"));
    EXPECT_THAT(plan, Contains("script C:\\App\\Uninstall.vbs"));
    EXPECT_THAT(plan, Contains("unregister C:\\App\\Plugins\\x.dll"));
    EXPECT_THAT(plan, Contains(HasSubstr("before-program ends with an exit code other than 1")));
    EXPECT_THAT(plan, Contains(HasSubstr("the administrator logon succeeds")));
    EXPECT_THAT(plan, Contains(HasSubstr("the programs and the script change nothing")));
    // The uninstaller's own file goes by the batch, once it has ended, and only then.
    EXPECT_EQ(plan.back(),
              window ? "remove directory C:\\App" : "remove file C:\\App\\Uninstall.exe");

    world.RunAnswered(window);
    std::set<std::string> removed;
    const std::set<std::string> after = world.Holdings();
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(),
                        std::inserter(removed, removed.end()));
    EXPECT_EQ(FakeWorld::PlannedRemovals(plan, before), removed);
  }
}

TEST(DryRunTest, SaysWhatItAssumedOfTheWindowAndShowsTheBoxesThatEndTheRun) {
  FakeWorld world;
  // A before-program that is not there is not started, and nothing is assumed of it.
  world.Install(
      "[Settings]\r\nProgExe=App.exe\r\nProgDir=C:\\App\\\r\nNoDelAll=1\r\n"
      "[StartProg]\r\nBeforeUninst=gone.exe\r\n[Files]\r\n1=App.exe\r\n");
  EXPECT_THAT(Plan(world, PlanMode::kDeleteAll),
              ElementsAre("assume no \"Delete all\": the window does not offer it here, so the "
                          "ordinary removal runs",
                          "remove file C:\\App\\App.exe", "remove file C:\\App\\uninstall.dat",
                          "remove file C:\\App\\Uninstall.exe", "remove directory C:\\App"));
  world.processes.process_names = {"app.exe"};
  EXPECT_THAT(Plan(world, PlanMode::kQuiet), ElementsAre(HasSubstr("message ")));
}

// Started from a network share, the uninstaller has no drive root for its batch: it stays.
TEST(DryRunTest, AnUninstallerOnAShareStays) {
  FakeWorld world;
  world.fs.AddFile("\\\\srv\\share\\App\\uninstall.dat",
                   "[Settings]\r\nProgExe=App.exe\r\n[Files]\r\n1=App.exe\r\n");
  world.fs.AddFile("\\\\srv\\share\\App\\App.exe");
  world.fs.AddFile("\\\\srv\\share\\App\\Uninstall.exe");
  EXPECT_THAT(PlanUninstallation(SystemParts{world.fs, world.processes, world.registry,
                                             world.registry, world.security},
                                 "\\\\srv\\share\\App\\Uninstall.exe", PlanMode::kQuiet),
              ElementsAre("remove file \\\\srv\\share\\App\\App.exe",
                          "remove file \\\\srv\\share\\App\\uninstall.dat"));
}

// Removals, writes and attribute changes are seen by later reads, by path and through handles;
// the system's files are never changed, written or opened for writing.
TEST(PlanFileSystemTest, KeepsEveryChangeToItself) {
  FakeFileSystem system;
  system.AddFile("C:\\A\\x.txt", "x");
  system.AddFile("C:\\A\\Sub\\ro.txt", "r", kAttributeReadOnly);
  system.AddFile("C:\\B\\held.txt");
  PlanLog plan(system);
  PlanFileSystem fs(system, &plan);
  std::uint32_t error = 0;
  const FileHandle x =
      fs.OpenFile("C:\\A\\x.txt", kGenericRead | kGenericWrite, 0, kOpenExisting, 0, &error);
  std::uint32_t written = 0;
  EXPECT_TRUE(fs.WriteBytes(x, "yz", 2, &written));
  fs.CloseFile(x);
  EXPECT_EQ(fs.Contents("C:\\A\\x.txt"), "yz");
  const FileHandle created = fs.CreateProtectedFile("C:\\A\\new.bat", "D:P", &error);
  EXPECT_TRUE(fs.WriteBytes(created, "x", 1, &written));
  fs.CloseFile(created);
  EXPECT_TRUE(fs.EraseFile("C:\\A\\new.bat"));
  EXPECT_FALSE(fs.EraseDirectory("C:\\A\\Sub"));
  EXPECT_FALSE(fs.EraseFile("C:\\A\\Sub\\ro.txt"));
  EXPECT_TRUE(fs.SetAttributes("C:\\A\\Sub\\ro.txt", kAttributeNormal));
  EXPECT_TRUE(fs.EraseFile("C:\\A\\Sub\\ro.txt"));
  EXPECT_TRUE(fs.EraseDirectory("C:\\A\\Sub\\"));
  EXPECT_TRUE(fs.EraseFile("C:/A/x.txt"));
  EXPECT_EQ(PathSize(fs, "C:\\A\\x.txt"), kNothingThere);
  EXPECT_FALSE(fs.OpenFile("C:\\A\\x.txt", kGenericRead, 0, kOpenExisting, 0, &error).valid());
  EXPECT_EQ(fs.AttributesOf("c:\\a\\SUB\\ro.txt"), kInvalidAttributes);
  EXPECT_TRUE(IsEmptyDirectory(fs, "C:\\A"));
  const NodeHandle a = fs.OpenDirectoryPath(u"C:\\A", kNodeDelete | kNodeList, &error);
  EXPECT_FALSE(fs.OpenNode(a, u"x.txt", 0, &error).valid());
  EXPECT_EQ(error, kErrorFileNotFound);
  EXPECT_TRUE(fs.DeleteOnClose(a));
  fs.CloseNode(a);
  // Opened without the right to delete, as for the running uninstaller's file: nothing goes.
  const NodeHandle b = fs.OpenDirectoryPath(u"C:\\B", kNodeList, &error);
  const NodeHandle held = fs.OpenNode(b, u"held.txt", 0, &error);
  ASSERT_TRUE(held.valid());
  EXPECT_FALSE(fs.SetNodeAttributes(held, kAttributeNormal));
  EXPECT_FALSE(fs.DeleteOnClose(held));
  fs.CloseNode(held);
  fs.CloseNode(b);

  EXPECT_EQ(system.AllPaths(),
            (std::vector<std::string>{"C:\\A\\", "C:\\A\\Sub\\", "C:\\A\\Sub\\ro.txt",
                                      "C:\\A\\x.txt", "C:\\B\\", "C:\\B\\held.txt"}));
  EXPECT_EQ(system.Attributes("C:\\A\\Sub\\ro.txt"), kAttributeReadOnly);
  EXPECT_EQ(system.OpenHandles(), 0);
  EXPECT_EQ(system.Contents("C:\\A\\x.txt"), "x");
  EXPECT_THAT(plan.lines(),
              ElementsAre("remove file C:\\A\\new.bat", "remove file C:\\A\\Sub\\ro.txt",
                          "remove directory C:\\A\\Sub", "remove file C:\\A\\x.txt",
                          "remove directory C:\\A"));
}

// The copy reads each directory and file of the system once, when first needed; what names a
// node is the system's answer, and where the system opens what a link leads to (as Wine does),
// so does the copy.
TEST(PlanFileSystemTest, ReadsTheSystemOnceAndNamesNodesAsTheSystemDoes) {
  for (const bool follows : {false, true}) {
    SCOPED_TRACE(follows ? "links followed" : "links opened");
    CallLog log;
    FakeFileSystem system(&log);
    system.AddFile("C:\\A\\f.txt", "abc");
    system.AddFile("C:\\T\\t.txt");
    system.AddLink("C:\\A\\L", "C:\\T");
    system.AddFile("D:\\d.txt");
    system.AddFile("\\\\srv\\share\\s.txt");
    system.SetOpensFollowLinks(follows);
    // Never opened for deletion here: it would be refused.
    system.HoldOpen("C:\\T");
    PlanLog plan(system);
    PlanFileSystem fs(system, &plan);
    EXPECT_EQ(fs.AttributesOf("c:\\a\\.\\F.TXT"), kAttributeArchive);
    EXPECT_EQ(fs.DriveTypeOf("D:\\"), kDriveFixed);
    EXPECT_EQ(fs.DriveTypeOf("\\\\srv\\share\\"), kDriveRemote);
    EXPECT_EQ(PathSize(fs, "C:\\A\\L\\t.txt"), 0);
    std::uint32_t error = 0;
    for (int twice = 0; twice < 2; ++twice) {
      const FileHandle f =
          fs.OpenFile("C:\\A\\f.txt", kGenericRead, kShareRead, kOpenExisting, 0, &error);
      EXPECT_EQ(fs.SizeOfFile(f), 3);
      fs.CloseFile(f);
    }
    EXPECT_FALSE(fs.OpenDirectoryPath(u"C:\\Gone", 0, &error).valid());
    EXPECT_EQ(error, kErrorPathNotFound);
    const NodeHandle a = fs.OpenDirectoryPath(u"C:\\A", kNodeList, &error);
    const NodeHandle link = fs.OpenNode(a, u"L", 0, &error);
    const NodeHandle by_path = fs.OpenDirectoryPath(u"C:\\A\\L", 0, &error);
    std::uint32_t attributes = 0;
    std::uint64_t id = 0, target_id = 0;
    std::u16string final_path;
    ASSERT_TRUE(fs.NodeAttributes(link, &attributes));
    EXPECT_EQ((attributes & kAttributeReparsePoint) == 0, follows);
    EXPECT_TRUE(fs.NodeId(link, &id));
    EXPECT_TRUE(fs.NodeId(by_path, &target_id));
    EXPECT_EQ(id == target_id, follows);
    EXPECT_TRUE(fs.FinalPath(by_path, &final_path));
    EXPECT_EQ(final_path, u"\\??\\C:\\T");
    for (const NodeHandle node : {a, link, by_path}) fs.CloseNode(node);

    EXPECT_EQ(log.Matching("ListNode C:\\A restart").size(), 1u);
    EXPECT_EQ(log.Matching("OpenFile C:\\A\\f.txt").size(), 1u);
    EXPECT_EQ(log.Matching("SetNodeAttributes").size() + log.Matching("DeleteOnClose").size(), 0u);
    EXPECT_EQ(system.OpenHandles(), 0);
  }
}

// What the tests set up is what the model then answers: a file added again takes its new contents
// and their size, a size reported for nothing creates nothing, a move reports itself, and a folder
// reached through a share is named by that share where the switch says so.
TEST(MemoryFileSystemTest, AnswersAsItWasSetUp) {
  MemoryFileSystem fs;
  fs.AddFile("C:\\A\\big.bin");
  fs.SetReportedSize("C:\\A\\big.bin", 5000000000);
  fs.AddFile("C:\\A\\big.bin", "ab");
  fs.SetReportedSize("C:\\A\\missing.bin", 7);
  EXPECT_EQ(fs.AllPaths(), (std::vector<std::string>{"C:\\A\\", "C:\\A\\big.bin"}));
  EXPECT_TRUE(fs.Rename("C:\\A\\big.bin", "C:\\A\\small.bin"));
  std::uint32_t error = 0;
  const FileHandle file =
      fs.OpenFile("C:\\A\\small.bin", kGenericRead, kShareRead, kOpenExisting, 0, &error);
  EXPECT_EQ(fs.SizeOfFile(file), 2);
  fs.CloseFile(file);
  fs.SetNormalizedPathsAsOpened(true);
  fs.AddLink("\\\\localhost\\C$\\A", "C:\\A");
  const NodeHandle shared = fs.OpenDirectoryPath(u"\\\\localhost\\C$\\A\\", 0, &error);
  std::u16string path;
  EXPECT_TRUE(fs.NormalizedPath(shared, &path));
  EXPECT_EQ(path, u"\\\\?\\UNC\\localhost\\C$\\A");
  fs.CloseNode(shared);
}

// The rules both in-memory file systems follow: what may be marked for deletion, and what
// setting attributes leaves.
TEST(NodeRulesTest, DeletionAndAttributesAsTheSystemHasThem) {
  constexpr std::uint32_t kLink = kAttributeDirectory | kAttributeReparsePoint;
  struct Mark {
    std::uint32_t access, attributes;
    bool holds_nothing, marked;
  };
  for (const Mark& m :
       {Mark{kNodeDelete, kAttributeArchive, true, true},
        Mark{kNodeList, kAttributeArchive, true, false},
        Mark{kNodeDelete, kAttributeReadOnly, true, false},
        Mark{kNodeDelete, kAttributeDirectory, false, false},
        Mark{kNodeDelete, kAttributeDirectory, true, true}, Mark{kNodeDelete, kLink, false, true},
        Mark{kNodeDelete, kLink | kAttributeReadOnly, false, false}}) {
    EXPECT_EQ(MayMarkForDeletion(m.access, m.attributes, m.holds_nothing), m.marked)
        << m.access << " " << m.attributes << " " << m.holds_nothing;
  }
  // By path: a file not in use, a directory holding nothing, a link whatever it leads to.
  EXPECT_TRUE(MayEraseFile(kAttributeArchive, false));
  EXPECT_FALSE(MayEraseFile(kAttributeArchive, true));
  EXPECT_FALSE(MayEraseFile(kAttributeReadOnly, false));
  EXPECT_FALSE(MayEraseFile(kAttributeDirectory, false));
  EXPECT_TRUE(MayEraseDirectory(kAttributeDirectory, true));
  EXPECT_FALSE(MayEraseDirectory(kAttributeDirectory, false));
  EXPECT_FALSE(MayEraseDirectory(kAttributeDirectory | kAttributeReadOnly, true));
  EXPECT_FALSE(MayEraseDirectory(kAttributeArchive, true));
  EXPECT_TRUE(MayEraseDirectory(kLink, false));
  EXPECT_EQ(AttributesAfterSetting(kAttributeReadOnly, kAttributeNormal), kAttributeNormal);
  EXPECT_EQ(AttributesAfterSetting(kAttributeArchive, 0), kAttributeNormal);
  EXPECT_EQ(AttributesAfterSetting(kLink | kAttributeReadOnly, kAttributeNormal), kLink);
  EXPECT_EQ(AttributesAfterSetting(kAttributeDirectory, kAttributeHidden | kAttributeNormal),
            kAttributeDirectory | kAttributeHidden);
  EXPECT_EQ(AttributesAfterSetting(kAttributeArchive, kAttributeDirectory), kAttributeNormal);
}

// A key opened for a value deletion is created only in the plan, as the real run creates it, and
// its deletion is no action; a key with subkeys stays, a deleted value reads as missing.
TEST(PlanRegistryTest, KeepsEveryChangeToItself) {
  FakeFileSystem fs;
  CallLog log;
  FakeRegistry system(&log);
  system.SetValue(kCurrentUser, "A\\B", "v");
  system.AddKey(kCurrentUser, "A\\B\\C");
  system.SetValue(kCurrentUser, "D", "w");
  system.SetValue(kCurrentUser, "\xC4pp", "\xC9");  // Äpp, É in the Western code page
  PlanLog plan(fs);
  PlanRegistry registry(system, system, fs, &plan);
  EXPECT_FALSE(DeleteRegistryValue(registry, kCurrentUser, "X\\Y", "v"));
  EXPECT_TRUE(DeleteRegistryKey(registry, kCurrentUser, "X\\Y"));
  EXPECT_TRUE(DeleteRegistryKey(registry, kCurrentUser, "X"));
  EXPECT_FALSE(DeleteRegistryKey(registry, kCurrentUser, "A\\B"));
  EXPECT_TRUE(DeleteRegistryValue(registry, kCurrentUser, "A\\B", "V"));
  EXPECT_FALSE(DeleteRegistryValue(registry, kCurrentUser, "A\\B", "v"));
  std::string data;
  EXPECT_EQ(registry.ReadStringValue(kCurrentUser, "A\\B", "v", &data), ValueRead::kMissing);
  EXPECT_TRUE(DeleteRegistryKey(registry, kCurrentUser, "A\\B\\C\\"));
  EXPECT_TRUE(DeleteRegistryKey(registry, kCurrentUser, "a\\b"));
  EXPECT_FALSE(DeleteRegistryKey(registry, kCurrentUser, "A\\B"));
  // Nor is a root deleted; the version is the machine's.
  RegistryHandle root;
  ASSERT_TRUE(registry.ConnectRegistry("", kCurrentUser, &root));
  EXPECT_FALSE(registry.DeleteKey(root, "\\"));
  registry.CloseKey(root);
  EXPECT_EQ(registry.VersionWord(), system.version_word);
  // A key of the machine deleted and made again holds nothing of the machine's.
  EXPECT_TRUE(DeleteRegistryKey(registry, kCurrentUser, "D"));
  EXPECT_FALSE(DeleteRegistryValue(registry, kCurrentUser, "D", "w"));
  EXPECT_EQ(registry.ReadStringValue(kCurrentUser, "D", "w", &data), ValueRead::kMissing);
  // Letters compare as the system compares them, beyond ASCII too, also once the machine's
  // subkeys were read.
  EXPECT_THAT(registry.SubkeyNames(kCurrentUser, ""), Contains("\xC4pp"));
  EXPECT_TRUE(DeleteRegistryValue(registry, kCurrentUser, "\xE4PP", "\xE9"));

  EXPECT_FALSE(system.HasKey(kCurrentUser, "X"));
  EXPECT_TRUE(system.HasValue(kCurrentUser, "A\\B", "v"));
  EXPECT_TRUE(system.HasKey(kCurrentUser, "A\\B\\C"));
  EXPECT_THAT(plan.lines(), ElementsAre("remove value HKCU\\A\\B V", "remove key HKCU\\A\\B\\C",
                                        "remove key HKCU\\a\\b", "remove key HKCU\\D",
                                        "remove value HKCU\\\xC3\xA4PP \xC3\xA9"));  // in UTF-8
}

TEST(PlanLogTest, WritesUtf8) {
  EXPECT_EQ(Utf8Of(u"a\u00E9\u2603\U00020BB7"), "a\xC3\xA9\xE2\x98\x83\xF0\xA0\xAE\xB7");
  EXPECT_EQ(Utf8Of(u"\xD800\xE000"), "\xEF\xBF\xBD\xEE\x80\x80");
}

}  // namespace
}  // namespace uninstall
