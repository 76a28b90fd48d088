// The file operations of src/files over the real Win32 file API. Every test works in a
// directory of its own under C:\ that the fixture makes and removes with plain Win32 calls, so
// that cleaning up never depends on the code under test.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "common/progress.h"
#include "description/description.h"
#include "files/contained_removal.h"
#include "files/directory_listing.h"
#include "files/file_removal.h"
#include "files/path_probe.h"
#include "files/program_files.h"
#include "files/text_file.h"
#include "files/verified_node.h"
#include "files/whole_folders.h"
#include "gtest/gtest.h"
#include "names/encodings.h"
#include "names/name_case.h"
#include "platform/win32/win32_file_system.h"

namespace uninstall {
namespace {

// Removes a directory tree whatever its attributes; used only for cleaning up.
void WipeTree(const std::string& directory) {
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &data);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      std::string full = directory + "\\" + name;
      SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        WipeTree(full);
      } else {
        DeleteFileA(full.c_str());
      }
    } while (FindNextFileA(search, &data));
    FindClose(search);
  }
  SetFileAttributesA(directory.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryA(directory.c_str());
}

class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::string("C:\\fs_") + info->name() + "_" + std::to_string(GetCurrentProcessId());
    WipeTree(root_);
    ASSERT_TRUE(CreateDirectoryA(root_.c_str(), nullptr)) << root_;
  }

  void TearDown() override {
    WipeTree(root_);
    EXPECT_EQ(GetFileAttributesA(root_.c_str()), INVALID_FILE_ATTRIBUTES) << "left behind";
  }

  // `relative` below the test's directory; "" is the directory itself.
  std::string At(const std::string& relative) const {
    return relative.empty() ? root_ : root_ + "\\" + relative;
  }

  void MakeDirectory(const std::string& relative, DWORD attributes = 0) {
    ASSERT_TRUE(CreateDirectoryA(At(relative).c_str(), nullptr)) << relative;
    if (attributes != 0) {
      ASSERT_TRUE(SetFileAttributesA(At(relative).c_str(), attributes)) << relative;
    }
  }

  void MakeFile(const std::string& relative, const std::string& contents = "data",
                DWORD attributes = 0) {
    HANDLE file = CreateFileA(At(relative).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << relative;
    DWORD written = 0;
    BOOL ok =
        WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_TRUE(ok && written == contents.size()) << relative;
    if (attributes != 0) {
      ASSERT_TRUE(SetFileAttributesA(At(relative).c_str(), attributes)) << relative;
    }
  }

  std::string Contents(const std::string& relative) const {
    HANDLE file = CreateFileA(At(relative).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string contents;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read > 0) {
      contents.append(chunk, read);
    }
    CloseHandle(file);
    return contents;
  }

  bool Exists(const std::string& relative) const {
    return GetFileAttributesA(At(relative).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  // Every entry of a listing, name to kind, in the order the system gave them.
  std::vector<std::pair<std::string, int>> Entries(const std::string& directory,
                                                   const std::string& pattern) {
    std::vector<std::pair<std::string, int>> entries;
    std::unique_ptr<DirectoryListing> listing = OpenListing(fs_, directory, pattern);
    if (!listing) return entries;
    while (listing->NextEntry()) entries.emplace_back(listing->EntryName(), listing->EntryKind());
    listing->CloseListing();
    return entries;
  }

  Win32FileSystem fs_;
  NoProgress quiet_;
  std::string root_;
};

// A drive letter that this machine doesn't have.
std::string MissingDrive() {
  DWORD drives = GetLogicalDrives();
  for (char letter = 'Y'; letter > 'C'; --letter) {
    if (!(drives & (1u << (letter - 'A')))) return std::string(1, letter) + ":";
  }
  return "";
}

TEST_F(FileSystemTest, DriveRootsAreDirectoriesOnlyWhenTheDriveExists) {
  EXPECT_EQ(PathSize(fs_, "C:"), kDirectoryThere);
  EXPECT_EQ(PathSize(fs_, "C:\\"), kDirectoryThere);
  EXPECT_EQ(PathSize(fs_, "C:\\"), kDirectoryThere);

  std::string missing = MissingDrive();
  ASSERT_FALSE(missing.empty());
  EXPECT_EQ(PathSize(fs_, missing), kNothingThere) << missing;
  EXPECT_EQ(PathSize(fs_, missing + "\\"), kNothingThere) << missing;
  EXPECT_NE(PathSize(fs_, missing + "\\"), kDirectoryThere);
}

TEST_F(FileSystemTest, PathSizeIgnoresTrailingBackslashes) {
  MakeDirectory("App");
  MakeFile("App\\data.txt", "12345");
  MakeDirectory("Empty");

  for (const std::string& path : {At("App"), At("App\\"), At("App\\\\\\"), At("Empty\\")}) {
    EXPECT_EQ(PathSize(fs_, path), kDirectoryThere) << path;
  }
  EXPECT_EQ(PathSize(fs_, At("App\\data.txt")), 5);
  EXPECT_EQ(PathSize(fs_, At("App\\data.txt\\")), 5);
  EXPECT_TRUE(IsExistingFile(fs_, At("App\\data.txt")));
  EXPECT_FALSE(IsExistingFile(fs_, At("App")));

  EXPECT_EQ(PathSize(fs_, At("App\\missing.txt")), kNothingThere);
  EXPECT_EQ(PathSize(fs_, ""), kNothingThere);
  EXPECT_EQ(PathSize(fs_, "\\"), kNothingThere);
  EXPECT_EQ(PathSize(fs_, "\\\\\\"), kNothingThere);
}

TEST_F(FileSystemTest, SizesAbove4GBKeepBothHalves) {
  // A sparse file: the size is set, nothing is written.
  const std::uint64_t size = (5ull << 30) + 3;
  HANDLE file = CreateFileA(At("big.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(size);
  ASSERT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
  ASSERT_TRUE(SetEndOfFile(file));
  CloseHandle(file);

  EXPECT_EQ(PathSize(fs_, At("big.bin")), static_cast<std::int64_t>(size));

  std::uint32_t error = 0;
  FileHandle handle = fs_.OpenFile(At("big.bin"), kGenericRead | kGenericWrite, kShareRead,
                                   kOpenExisting, kAttributeNormal, &error);
  ASSERT_TRUE(handle.valid()) << error;
  EXPECT_EQ(fs_.SizeOfFile(handle), static_cast<std::int64_t>(size));

  // Positions beyond 4 GB, forward from the start and backward from the current position.
  std::uint32_t done = 0;
  ASSERT_TRUE(fs_.MovePointer(handle, (4ll << 30) + 10, MoveFrom::kStart));
  ASSERT_TRUE(fs_.WriteBytes(handle, "xyz", 3, &done));
  EXPECT_EQ(done, 3u);
  ASSERT_TRUE(fs_.MovePointer(handle, -2, MoveFrom::kCurrent));
  char byte = 0;
  ASSERT_TRUE(fs_.ReadBytes(handle, &byte, 1, &done));
  EXPECT_EQ(done, 1u);
  EXPECT_EQ(byte, 'y');
  ASSERT_TRUE(fs_.MovePointer(handle, (4ll << 30) + 12, MoveFrom::kStart));
  ASSERT_TRUE(fs_.ReadBytes(handle, &byte, 1, &done));
  EXPECT_EQ(byte, 'z');
  // Nothing to read at the end: success with no bytes.
  ASSERT_TRUE(fs_.MovePointer(handle, static_cast<std::int64_t>(size), MoveFrom::kStart));
  ASSERT_TRUE(fs_.ReadBytes(handle, &byte, 1, &done));
  EXPECT_EQ(done, 0u);
  EXPECT_EQ(fs_.SizeOfFile(handle), static_cast<std::int64_t>(size));
  fs_.CloseFile(handle);
}

TEST_F(FileSystemTest, FailuresReachTheCallerAsTheInterfaceSays) {
  MakeFile("a.txt");
  FoundEntry entry;
  std::uint32_t error = 0;
  EXPECT_FALSE(fs_.FindFirst(At("*.log"), &entry, &error).valid());
  EXPECT_EQ(error, kErrorFileNotFound);
  error = 0;
  EXPECT_FALSE(fs_.FindFirst(At("missing\\*.*"), &entry, &error).valid());
  EXPECT_EQ(error, kErrorPathNotFound);

  error = 0;
  EXPECT_FALSE(fs_.OpenFile(At("missing.txt"), kGenericRead, kShareRead, kOpenExisting,
                            kAttributeNormal, &error)
                   .valid());
  EXPECT_EQ(error, kErrorFileNotFound);

  EXPECT_EQ(fs_.AttributesOf(At("missing.txt")), kInvalidAttributes);
  EXPECT_EQ(fs_.AttributesOf(At("")) & kAttributeDirectory, kAttributeDirectory);
  EXPECT_EQ(fs_.SizeOfFile({}), -1);
}

TEST_F(FileSystemTest, ListingAnswersPatternsWithDotEntries) {
  MakeFile("a.txt");
  MakeFile("README");
  MakeFile("b.log");
  MakeDirectory("sub");

  using EntryMap = std::map<std::string, int>;
  const EntryMap everything = {{".", kDirectoryEntry}, {"..", kDirectoryEntry},
                               {"a.txt", kFileEntry},  {"README", kFileEntry},
                               {"b.log", kFileEntry},  {"sub", kDirectoryEntry}};
  for (const std::string& directory : {At(""), At("") + "\\"}) {
    std::vector<std::pair<std::string, int>> entries = Entries(directory, "*.*");
    EntryMap listed(entries.begin(), entries.end());
    EXPECT_EQ(listed, everything) << directory;
    EXPECT_EQ(entries.size(), everything.size()) << "no duplicates";
  }

  std::vector<std::pair<std::string, int>> txt = Entries(At(""), "?.txt");
  ASSERT_EQ(txt.size(), 1u);
  EXPECT_EQ(txt[0].first, "a.txt");

  // Nothing matching is a listing without entries; a missing directory or a file is none.
  std::unique_ptr<DirectoryListing> none_matching = OpenListing(fs_, At(""), "*.xyz");
  ASSERT_NE(none_matching, nullptr);
  EXPECT_FALSE(none_matching->NextEntry());
  EXPECT_EQ(OpenListing(fs_, At("missing"), "*.*"), nullptr);
  EXPECT_EQ(OpenListing(fs_, At("a.txt"), "*.*"), nullptr);

  // A drive root lists its contents (whether with "." and ".." is the system's business).
  bool found_own_directory = false;
  std::string own_name = root_.substr(3);
  for (const auto& [name, kind] : Entries("C:\\", "*.*")) {
    if (name == own_name) found_own_directory = kind == kDirectoryEntry;
  }
  EXPECT_TRUE(found_own_directory);
}

TEST_F(FileSystemTest, EmptyDirectoryHoldsNothingButDotEntries) {
  MakeDirectory("empty");
  MakeDirectory("nested");
  MakeDirectory("nested\\inner");
  MakeDirectory("hidden");
  MakeFile("hidden\\h.dat", "x", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  MakeFile("file.txt");

  EXPECT_TRUE(IsEmptyDirectory(fs_, At("empty")));
  EXPECT_TRUE(IsEmptyDirectory(fs_, At("empty\\")));
  EXPECT_TRUE(IsEmptyDirectory(fs_, At("nested\\inner")));
  EXPECT_FALSE(IsEmptyDirectory(fs_, At("nested")));
  EXPECT_FALSE(IsEmptyDirectory(fs_, At("hidden")));
  EXPECT_FALSE(IsEmptyDirectory(fs_, At("file.txt")));
  EXPECT_FALSE(IsEmptyDirectory(fs_, At("missing")));
}

TEST_F(FileSystemTest, RemoveFileLeavesReadOnlyFiles) {
  MakeFile("plain.txt");
  MakeFile("hidden.txt", "x", FILE_ATTRIBUTE_HIDDEN);
  MakeFile("locked.txt", "x", FILE_ATTRIBUTE_READONLY);

  EXPECT_TRUE(RemoveFile(fs_, At("plain.txt")));
  EXPECT_FALSE(Exists("plain.txt"));
  EXPECT_TRUE(RemoveFile(fs_, At("hidden.txt")));
  EXPECT_FALSE(Exists("hidden.txt"));
  EXPECT_FALSE(RemoveFile(fs_, At("locked.txt")));
  EXPECT_EQ(Contents("locked.txt"), "x");
  EXPECT_FALSE(RemoveFile(fs_, At("plain.txt")));
}

// What the removal opens, it opens one name at a time relative to the directory above, and
// deletes through the handle of what it checked.
TEST_F(FileSystemTest, NodesOpenRelativeToTheirDirectoryAndGoThroughTheirHandle) {
  MakeDirectory("dir");
  MakeFile("dir\\a.txt");
  MakeFile("dir\\ro.txt", "x", FILE_ATTRIBUTE_READONLY);
  MakeDirectory("dir\\sub");
  std::uint32_t error = 0;
  const std::string root = At("");
  NodeHandle base = fs_.OpenDirectoryPath(std::u16string(root.begin(), root.end()),
                                          kNodeDelete | kNodeList, &error);
  ASSERT_TRUE(base.valid()) << error;
  std::u16string base_path;
  ASSERT_TRUE(fs_.FinalPath(base, &base_path));
  NodeHandle dir = fs_.OpenNode(base, u"DIR", kNodeDelete | kNodeList, &error);
  ASSERT_TRUE(dir.valid()) << error;
  std::uint32_t attributes = 0;
  ASSERT_TRUE(fs_.NodeAttributes(dir, &attributes));
  EXPECT_EQ(attributes & (kAttributeDirectory | kAttributeReparsePoint), kAttributeDirectory);
  std::u16string dir_path;
  ASSERT_TRUE(fs_.FinalPath(dir, &dir_path));
  EXPECT_TRUE(LiesDirectlyIn(fs_, dir_path, base_path, u"dir"));

  // The listing holds every name once, "." and ".." where the system lists them.
  std::vector<std::u16string> names;
  std::vector<ListedName> batch;
  for (ListFrom from = ListFrom::kStart; fs_.ListNode(dir, from, &batch); from = ListFrom::kNext) {
    for (const ListedName& entry : batch) names.push_back(entry.name);
  }
  std::sort(names.begin(), names.end());
  names.erase(std::remove_if(names.begin(), names.end(),
                             [](const std::u16string& n) { return n == u"." || n == u".."; }),
              names.end());
  EXPECT_EQ(names, (std::vector<std::u16string>{u"a.txt", u"ro.txt", u"sub"}));

  for (const char16_t* bad : {u"..", u"sub\\..\\..", u"sub\\..\\a.txt"}) {
    NodeHandle opened = fs_.OpenNode(dir, bad, 0, &error);
    EXPECT_FALSE(opened.valid()) << std::string(bad, bad + std::char_traits<char16_t>::length(bad));
    if (opened.valid()) fs_.CloseNode(opened);
  }
  EXPECT_FALSE(fs_.OpenNode(dir, u"missing.txt", 0, &error).valid());
  EXPECT_EQ(error, kErrorFileNotFound);

  NodeHandle file = fs_.OpenNode(dir, u"a.txt", kNodeDelete, &error);
  ASSERT_TRUE(file.valid());
  EXPECT_TRUE(fs_.DeleteOnClose(file));
  fs_.CloseNode(file);
  EXPECT_FALSE(Exists("dir\\a.txt"));

  // Read-only refuses until it is cleared through the same handle.
  NodeHandle read_only = fs_.OpenNode(dir, u"ro.txt", kNodeDelete, &error);
  ASSERT_TRUE(read_only.valid());
  EXPECT_FALSE(fs_.DeleteOnClose(read_only));
  EXPECT_TRUE(fs_.SetNodeAttributes(read_only, kAttributeNormal));
  EXPECT_TRUE(fs_.DeleteOnClose(read_only));
  fs_.CloseNode(read_only);
  EXPECT_FALSE(Exists("dir\\ro.txt"));

  // A directory goes only once empty.
  EXPECT_FALSE(fs_.DeleteOnClose(dir));
  NodeHandle sub = fs_.OpenNode(dir, u"sub", kNodeDelete | kNodeList, &error);
  ASSERT_TRUE(sub.valid());
  EXPECT_TRUE(fs_.DeleteOnClose(sub));
  fs_.CloseNode(sub);
  EXPECT_TRUE(fs_.DeleteOnClose(dir));
  fs_.CloseNode(dir);
  fs_.CloseNode(base);
  EXPECT_FALSE(Exists("dir"));

  std::u16string wide;
  EXPECT_TRUE(fs_.WidenName("caf\xE9", &wide));
  EXPECT_EQ(wide, u"caf\u00E9");
  // Back to the code page, and no best fit for a letter it has no byte for.
  std::string narrow;
  EXPECT_TRUE(fs_.NarrowName(wide, &narrow));
  EXPECT_EQ(narrow, "caf\xE9");
  EXPECT_FALSE(fs_.NarrowName(u"\u0416", &narrow));
  EXPECT_FALSE(fs_.NarrowName(u"\u0100", &narrow));
}

// The code pages the checker and the tests read names in are the system's own, byte for byte.
TEST(CodePageTest, TheTablesAreTheSystems) {
  for (unsigned code_page = 1250; code_page <= 1258; ++code_page) {
    ASSERT_TRUE(IsKnownCodePage(code_page));
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
      const char narrow = static_cast<char>(byte);
      wchar_t wide = 0;
      if (MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, &narrow, 1, &wide, 1) != 1) continue;
      EXPECT_EQ(unsigned{WidenedFrom(code_page, std::string(1, narrow))[0]}, unsigned{wide})
          << "code page " << code_page << ", byte " << byte;
    }
  }
}

// One rule for the same name: the system's comparison, the file system's own lookup, and the
// table that stands for them in the tests and the plan agree, for every unit of the basic plane
// (against the invariant upper case as a second opinion on what the system folds).
TEST_F(FileSystemTest, NamesCompareAsTheFileSystemComparesThem) {
  std::u16string wide;
  ASSERT_TRUE(
      fs_.WidenName("\x8A"
                    "etup.dat",
                    &wide));
  EXPECT_TRUE(fs_.SameFileName(wide, u"\u0161ETUP.DAT"));
  EXPECT_FALSE(fs_.SameFileName(u"Stra\u00DFe", u"STRASSE"));
  EXPECT_FALSE(fs_.SameFileName(u"a", u"ab"));
  std::vector<std::u16string> differing;
  for (char32_t unit = 1; unit <= 0xFFFF; ++unit) {
    if (unit >= 0xD800 && unit <= 0xDFFF) continue;
    const char16_t c = static_cast<char16_t>(unit);
    wchar_t upper = 0;
    const wchar_t wc = static_cast<wchar_t>(c);
    if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, &wc, 1, &upper, 1, nullptr, nullptr,
                      0) != 1) {
      upper = wc;
    }
    const char16_t table = UpcasedNameUnit(c);
    const char16_t other = static_cast<char16_t>(upper);
    if (!fs_.SameFileName(std::u16string(1, c), std::u16string(1, table)) ||
        fs_.SameFileName(std::u16string(1, c), std::u16string(1, other)) !=
            (UpcasedNameUnit(other) == table)) {
      differing.push_back(std::u16string(1, c));
    }
  }
  EXPECT_TRUE(differing.empty()) << differing.size() << " units differ, the first U+" << std::hex
                                 << (differing.empty() ? 0 : int{differing[0][0]});
  std::u16string base;
  ASSERT_TRUE(fs_.WidenName(At(""), &base));
  const std::wstring directory(base.begin(), base.end());
  HANDLE file = CreateFileW((directory + L"\\\u0142\u00F3d\u017A.txt").c_str(), GENERIC_WRITE, 0,
                            nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  EXPECT_NE(GetFileAttributesW((directory + L"\\\u0141\u00D3D\u0179.TXT").c_str()),
            INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(fs_.SameFileName(u"\u0142\u00F3d\u017A.txt", u"\u0141\u00D3D\u0179.TXT"));
  EXPECT_TRUE(DeleteFileW((directory + L"\\\u0141\u00F3D\u017A.txt").c_str()));
}

TEST_F(FileSystemTest, SweepTakesEveryFileButEntersNoDirectory) {
  MakeDirectory("files");
  MakeFile("files\\a.txt");
  MakeFile("files\\README", "x", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
  MakeDirectory("mixed");
  MakeFile("mixed\\a.txt");
  MakeDirectory("mixed\\sub");
  MakeFile("mixed\\sub\\b.txt");

  ContainedRemoval(fs_, At("files\\"), BaseName::kTrusted).SweepFiles(quiet_);
  EXPECT_FALSE(Exists("files"));
  ContainedRemoval(fs_, At("mixed"), BaseName::kTrusted).SweepFiles(quiet_);
  EXPECT_FALSE(Exists("mixed\\a.txt"));
  EXPECT_TRUE(Exists("mixed\\sub\\b.txt"));
  ContainedRemoval(fs_, At("missing"), BaseName::kTrusted).SweepFiles(quiet_);
  EXPECT_FALSE(Exists("missing"));
}

TEST_F(FileSystemTest, ForcedRecursiveRemovalTakesProtectedTrees) {
  MakeDirectory("tree");
  MakeFile("tree\\ro.txt", "x", FILE_ATTRIBUTE_READONLY);
  MakeFile("tree\\hidden.dat", "x", FILE_ATTRIBUTE_HIDDEN);
  MakeFile("tree\\system.sys", "x", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN);
  MakeFile("tree\\README");
  MakeDirectory("tree\\sub");
  MakeFile("tree\\sub\\ro.txt", "x", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  MakeDirectory("tree\\sub\\deeper");
  MakeFile("tree\\sub\\deeper\\a.b.c", "x", FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(SetFileAttributesA(At("tree\\sub\\deeper").c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(SetFileAttributesA(At("tree\\sub").c_str(), FILE_ATTRIBUTE_READONLY));
  MakeDirectory("tree\\empty", FILE_ATTRIBUTE_HIDDEN);
  MakeFile("keep.txt");

  ContainedRemoval(fs_, At(""), BaseName::kTrusted).RemoveTree("tree\\", quiet_);
  EXPECT_FALSE(Exists("tree"));
  EXPECT_TRUE(Exists("keep.txt"));
}

TEST_F(FileSystemTest, FileHeldOpenKeepsItselfAndItsParents) {
  MakeDirectory("tree");
  MakeDirectory("tree\\a");
  MakeDirectory("tree\\a\\b");
  MakeFile("tree\\a\\b\\held.txt", "held");
  MakeFile("tree\\a\\b\\other.txt");
  MakeFile("tree\\a\\sibling.txt");
  MakeDirectory("tree\\c");
  MakeFile("tree\\c\\x.txt");
  MakeFile("tree\\z.txt");

  // Shared for reading and writing, not for deletion.
  HANDLE held = CreateFileA(At("tree\\a\\b\\held.txt").c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  ContainedRemoval(fs_, At(""), BaseName::kTrusted).RemoveTree("tree", quiet_);
  EXPECT_FALSE(ContainedRemoval(fs_, At(""), BaseName::kTrusted)
                   .RemoveFile("tree\\a\\b\\held.txt", Force::kYes));
  CloseHandle(held);

  EXPECT_EQ(Contents("tree\\a\\b\\held.txt"), "held");
  for (const char* gone :
       {"tree\\a\\b\\other.txt", "tree\\a\\sibling.txt", "tree\\c", "tree\\z.txt"}) {
    EXPECT_FALSE(Exists(gone)) << gone;
  }

  ContainedRemoval(fs_, At(""), BaseName::kTrusted).RemoveTree("tree", quiet_);
  EXPECT_FALSE(Exists("tree"));
}

TEST_F(FileSystemTest, PathsBeyondTheLimitNameNothing) {
  MakeDirectory("dir");
  MakeFile("dir\\a.txt");
  // Cut to 260 bytes, each of these would name "dir" itself.
  std::string long_path = At("dir") + std::string(300, '\\');
  ASSERT_GT(long_path.size(), kMaxPathBytes);

  EXPECT_EQ(PathSize(fs_, long_path), kNothingThere);
  EXPECT_NE(PathSize(fs_, long_path), kDirectoryThere);
  EXPECT_EQ(OpenListing(fs_, long_path, "*.*"), nullptr);
  ContainedRemoval(fs_, long_path, BaseName::kTrusted).RemoveTree("", quiet_);
  ContainedRemoval(fs_, long_path, BaseName::kTrusted).SweepFiles(quiet_);
  ContainedRemoval(fs_, At(""), BaseName::kTrusted)
      .RemoveTree("dir" + std::string(300, '\\'), quiet_);
  EXPECT_TRUE(Exists("dir\\a.txt"));

  std::string exact = At("dir") + std::string(kMaxPathBytes - At("dir").size(), '\\');
  EXPECT_EQ(PathSize(fs_, exact), kDirectoryThere);
}

// run.sh lays out chains of directories below C:\deep_fixture\App, each with a file at its
// bottom: Deep, 400 levels; Reach, of names of 100 characters, as long as Wine reaches (Unix paths
// of up to 4096 bytes); Beyond, longer than that. Deep and Reach go whole; of Beyond, whose
// deepest names the system cannot open, the directories that hold them stay, and the removal goes
// on to the next value.
TEST(DeepTreeTest, ATreeAsDeepAsTheSystemReachesGoesAndADeeperOneStays) {
  const std::string app = "C:\\deep_fixture\\App\\";
  std::ifstream levels_file("C:\\deep_fixture\\levels.txt");
  int levels = 0;
  levels_file >> levels;
  ASSERT_GT(levels, 30);
  auto bottom_of = [](const std::wstring& tree, int count, const std::wstring& name) {
    std::wstring bottom = L"\\\\?\\C:\\deep_fixture\\App\\" + tree;
    for (int level = 0; level < count; ++level) bottom += L"\\" + name;
    return bottom + L"\\bottom.txt";
  };
  const std::wstring deep_bottom = bottom_of(L"Deep", 400, L"d");
  const std::wstring reach_bottom = bottom_of(L"Reach", levels, std::wstring(100, L'd'));
  ASSERT_GT(reach_bottom.size(), 3900u);
  for (const std::wstring* bottom : {&deep_bottom, &reach_bottom}) {
    ASSERT_NE(GetFileAttributesW(bottom->c_str()), INVALID_FILE_ATTRIBUTES) << "no fixture";
  }

  Win32FileSystem fs;
  NoProgress quiet;
  ContainedRemoval installation(fs, app, BaseName::kTrusted);
  for (const char* tree : {"Deep\\", "Reach\\", "Beyond\\", "After\\"}) {
    installation.RemoveTree(tree, quiet);
  }
  for (const char* gone : {"Deep", "Reach", "After"}) {
    EXPECT_EQ(GetFileAttributesA((app + gone).c_str()), INVALID_FILE_ATTRIBUTES) << gone;
  }
  EXPECT_NE(GetFileAttributesA((app + "Beyond\\" + std::string(100, 'd')).c_str()),
            INVALID_FILE_ATTRIBUTES);
}

// The folders owned as a whole come from the system, never from the environment that whoever
// starts the uninstaller sets; a folder counts as itself under another name (run.sh makes
// C:\link_fixture\pub a link to the public Desktop).
TEST_F(FileSystemTest, WholeFoldersAreTheSystemsAndDecidedOnTheDirectoryItself) {
  for (const char* variable :
       {"TEMP", "TMP", "ProgramW6432", "CommonProgramW6432", "ProgramFiles", "ProgramData"}) {
    ASSERT_TRUE(SetEnvironmentVariableA(variable, At("").c_str()));
  }
  std::vector<std::u16string> folders = fs_.WholeFolders();
  auto has = [&](const std::string& wanted) {
    return std::any_of(folders.begin(), folders.end(), [&](std::u16string folder) {
      while (!folder.empty() && folder.back() == u'\\') folder.pop_back();
      const std::wstring wide(folder.begin(), folder.end());
      const std::wstring wanted_wide(wanted.begin(), wanted.end());
      return lstrcmpiW(wide.c_str(), wanted_wide.c_str()) == 0;
    });
  };
  char windows[MAX_PATH];
  ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
  for (const std::string& wanted :
       {std::string(windows), std::string(windows) + "\\Temp", std::string("C:\\Program Files"),
        std::string("C:\\Program Files (x86)"), std::string("C:\\users"),
        std::string("C:\\users\\Public\\Desktop"), std::string("C:\\ProgramData")}) {
    EXPECT_TRUE(has(wanted)) << wanted;
  }
  EXPECT_FALSE(has(At(""))) << "a folder taken from the environment";
  EXPECT_FALSE(HoldsAWholeFolder(fs_, OpenKeptDirectory(fs_, At(""))));

  EXPECT_TRUE(HoldsAWholeFolder(fs_, OpenKeptDirectory(fs_, "C:\\link_fixture\\pub\\")));
  EXPECT_TRUE(HoldsAWholeFolder(fs_, OpenKeptDirectory(fs_, "C:\\users\\PUBLIC\\desktop\\")));
  EXPECT_FALSE(HoldsAWholeFolder(fs_, OpenKeptDirectory(fs_, "C:\\link_fixture\\App\\")));
  EXPECT_TRUE(HoldsAWholeFolder(fs_, OpenKeptDirectory(fs_, "C:\\link_fixture\\missing\\")));
  for (const char* variable :
       {"TEMP", "TMP", "ProgramW6432", "CommonProgramW6432", "ProgramFiles", "ProgramData"}) {
    SetEnvironmentVariableA(variable, nullptr);
  }
}

TEST_F(FileSystemTest, WriteLineEndsEveryLineWithCrLf) {
  std::unique_ptr<TextFile> file = CreateTextFile(fs_, At("out.txt"));
  ASSERT_NE(file, nullptr);
  const std::string long_line(5000, 'x');
  EXPECT_EQ(file->WriteLine("abc"), 5u);
  EXPECT_EQ(file->WriteLine(""), 2u);
  EXPECT_EQ(file->WriteLine(long_line), 5002u);
  EXPECT_EQ(file->WriteLine("end"), 5u);
  file->CloseTextFile();
  EXPECT_EQ(Contents("out.txt"), "abc\r\n\r\n" + long_line + "\r\nend\r\n");

  // An existing file starts over.
  file = CreateTextFile(fs_, At("out.txt"));
  ASSERT_NE(file, nullptr);
  file->WriteLine("new");
  file.reset();  // closing on destruction writes what is pending
  EXPECT_EQ(Contents("out.txt"), "new\r\n");

  EXPECT_EQ(CreateTextFile(fs_, At("missing\\out.txt")), nullptr);
}

TEST_F(FileSystemTest, ReadLineSplitsAtEveryKindOfLineEnd) {
  const char kMixed[] = "a\r\nb\nc\rd\r\n\ne\0f";
  MakeFile("mixed.txt", std::string(kMixed, sizeof(kMixed) - 1));
  std::unique_ptr<TextFile> file = OpenTextFile(fs_, At("mixed.txt"));
  ASSERT_NE(file, nullptr);
  std::vector<std::string> lines;
  while (!file->AtEndOfFile()) lines.push_back(file->ReadLine());
  EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "c", "d", "", "e", "f"}));
  EXPECT_EQ(file->ReadLine(), "");
  file->CloseTextFile();

  MakeFile("lone_cr.txt", "x\r\ny\r");
  file = OpenTextFile(fs_, At("lone_cr.txt"));
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->ReadLine(), "x");
  EXPECT_FALSE(file->AtEndOfFile());
  EXPECT_EQ(file->ReadLine(), "y");
  EXPECT_TRUE(file->AtEndOfFile());
  EXPECT_EQ(file->ReadLine(), "");

  EXPECT_EQ(OpenTextFile(fs_, At("missing.txt")), nullptr);
}

TEST_F(FileSystemTest, ReadLineCarriesLinesAcrossBufferBlocks) {
  // A CR as the last byte of a block, followed by a line's first byte or by the LF of CR LF.
  const std::string head(kTextFileBufferSize - 1, 'h');
  const std::string tail(3 * kTextFileBufferSize + 17, 't');
  MakeFile("cr_then_text.txt", head + "\rnext\n" + tail);
  MakeFile("cr_then_lf.txt", head + "\r\n" + tail + "\r\n");

  std::unique_ptr<TextFile> file = OpenTextFile(fs_, At("cr_then_text.txt"));
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->ReadLine(), head);
  EXPECT_EQ(file->ReadLine(), "next");
  EXPECT_EQ(file->ReadLine(), tail);
  EXPECT_TRUE(file->AtEndOfFile());

  file = OpenTextFile(fs_, At("cr_then_lf.txt"));
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->ReadLine(), head);
  EXPECT_EQ(file->ReadLine(), tail);
  EXPECT_TRUE(file->AtEndOfFile());
}

// Wine shows a Unix link to a directory as a directory link (a reparse point), and Windows
// cannot make one here, so tests/win32/run.sh lays these out from the Linux side: the links
// C:\link_fixture\App\Saves and C:\link_fixture\App\Sub\Link both lead to
// C:\link_fixture\outside, which holds keep.txt and Inner\. Wine opens a link as what it points
// to, so only the final path keeps the removal out, and a link never goes as itself.
TEST(LinkTest, NothingBehindADirectoryLinkIsLookedIntoOrDeleted) {
  const std::string app = "C:\\link_fixture\\App\\";
  const std::string outside = "C:\\link_fixture\\outside\\";
  ASSERT_NE(GetFileAttributesA((app + "Saves").c_str()), INVALID_FILE_ATTRIBUTES)
      << "run.sh lays the links out";
  Win32FileSystem fs;
  {
    std::ofstream(app + "App.exe") << "MZ";
    std::ofstream(app + "uninstall.dat") << "[Files]\r\n1=Sub\\Link\\keep.txt\r\n2=App.exe\r\n["
                                            "Dirs]\r\n1=Sub\\Link\\Inner\\\r\n2=Saves\\\r\n";
  }
  NoProgress quiet;
  const InstallationPaths paths{app, app + "uninstall.dat", "App.exe", "\\"};
  EXPECT_TRUE(RemoveProgramFiles(fs, Description(fs, paths.description_file_path), paths, quiet));
  std::ofstream(app + "App.exe") << "MZ";
  EXPECT_TRUE(RemoveAllFiles(fs, Description(fs, paths.description_file_path), paths, quiet));
  // A forced removal of the whole tree, links included, does not enter them either.
  ContainedRemoval(fs, app, BaseName::kTrusted).RemoveTree("", quiet);
  // Nor does a data directory that is itself a link.
  ContainedRemoval data(fs, app + "Saves\\", BaseName::kChecked);
  EXPECT_FALSE(data.IsDirectory());
  EXPECT_FALSE(data.RemoveFile("keep.txt"));
  data.RemoveTree("Inner", quiet);

  EXPECT_NE(GetFileAttributesA((outside + "keep.txt").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(GetFileAttributesA((outside + "Inner").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(GetFileAttributesA((app + "Saves").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace uninstall
