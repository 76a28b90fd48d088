#include "files/directory_listing.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "fakes/fake_file_system.h"

namespace uninstall {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Entries = std::vector<std::pair<std::string, int>>;

Entries ReadAll(DirectoryListing* listing) {
  Entries entries;
  while (NextEntry(listing)) entries.emplace_back(EntryName(listing), EntryKind(listing));
  return entries;
}

class DirectoryListingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs_.AddFile("C:\\App\\Readme");
    fs_.AddFile("C:\\App\\b.TXT", "", kAttributeHidden);
    fs_.AddDirectory("C:\\App\\Data");
  }

  CallLog log_;
  FakeFileSystem fs_{&log_};
};

TEST_F(DirectoryListingTest, DotsFirstThenEveryName) {
  for (const char* directory : {"C:\\App", "C:\\App\\"}) {
    auto listing = OpenListing(fs_, directory, "");
    ASSERT_NE(listing, nullptr);
    EXPECT_EQ(ReadAll(listing.get()), (Entries{{".", kDirectoryEntry},
                                               {"..", kDirectoryEntry},
                                               {"b.TXT", kFileEntry},
                                               {"Data", kDirectoryEntry},
                                               {"Readme", kFileEntry}}));
    EXPECT_FALSE(listing->NextEntry());
  }
  EXPECT_THAT(log_.Matching("FindFirst"),
              ElementsAre("FindFirst C:\\App\\*.*", "FindFirst C:\\App\\*.*"));
  EXPECT_EQ(fs_.OpenHandles(), 0);
}

TEST_F(DirectoryListingTest, PatternsIgnoreCase) {
  auto listing = OpenListing(fs_, "C:\\App", "*.txt");
  EXPECT_EQ(ReadAll(listing.get()), (Entries{{"b.TXT", kFileEntry}}));
  listing = OpenListing(fs_, "C:\\App", "?EADME");
  EXPECT_EQ(ReadAll(listing.get()), (Entries{{"Readme", kFileEntry}}));
}

TEST_F(DirectoryListingTest, NoMatchGivesAnEmptyListing) {
  auto listing = OpenListing(fs_, "C:\\App", "*.xyz");
  ASSERT_NE(listing, nullptr);
  EXPECT_FALSE(listing->NextEntry());
  EXPECT_EQ(listing->EntryKind(), kNoEntry);
  EXPECT_EQ(listing->EntryName(), "");
  EXPECT_EQ(fs_.OpenHandles(), 0);
}

TEST_F(DirectoryListingTest, MissingDirectoryOrFileGivesNone) {
  EXPECT_EQ(OpenListing(fs_, "C:\\Missing", "*.*"), nullptr);
  EXPECT_EQ(OpenListing(fs_, "C:\\App\\Readme", "*.*"), nullptr);
  EXPECT_FALSE(NextEntry(nullptr));
  EXPECT_EQ(EntryName(nullptr), "");
  EXPECT_EQ(EntryKind(nullptr), kNoEntry);
}

TEST_F(DirectoryListingTest, DriveRootHasNoDots) {
  fs_.AddDrive('E');
  fs_.AddFile("E:\\x.txt");
  auto listing = OpenListing(fs_, "E:", "*.*");
  EXPECT_EQ(ReadAll(listing.get()), (Entries{{"x.txt", kFileEntry}}));
}

TEST_F(DirectoryListingTest, CloseReleasesTheSearch) {
  auto listing = OpenListing(fs_, "C:\\App", "*.*");
  ASSERT_TRUE(listing->NextEntry());
  EXPECT_EQ(fs_.OpenHandles(), 1);
  listing->CloseListing();
  EXPECT_EQ(fs_.OpenHandles(), 0);
  EXPECT_FALSE(listing->NextEntry());
  listing.reset();
  EXPECT_THAT(log_.Matching("CloseSearch"), ElementsAre("CloseSearch C:\\App\\*.*"));
}

TEST_F(DirectoryListingTest, TooLongSearchIsNotMade) {
  std::string directory = "C:\\" + std::string(255, 'd');  // 258 bytes; with "\*.*" 262
  fs_.AddDirectory(directory);
  log_.Clear();
  EXPECT_EQ(OpenListing(fs_, directory, "*.*"), nullptr);
  EXPECT_THAT(log_.entries(), IsEmpty());
  EXPECT_NE(OpenListing(fs_, directory, "*"), nullptr);  // 260 bytes: fine
}

}  // namespace
}  // namespace uninstall
