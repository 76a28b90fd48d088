// The one reader of uninstall.dat: groups, key=value lines and comments.
#ifndef UNINSTALL_DESCRIPTION_PREFERENCE_READER_H_
#define UNINSTALL_DESCRIPTION_PREFERENCE_READER_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace uninstall {

class PreferenceReader {
 public:
  explicit PreferenceReader(FileSystem& fs) : fs_(fs) {}
  ~PreferenceReader() { Close(); }
  PreferenceReader(const PreferenceReader&) = delete;
  PreferenceReader& operator=(const PreferenceReader&) = delete;

  // Reads the whole file. A file that cannot be opened gives an open reader without entries.
  bool Open(const std::string& path);
  // "" selects the top section. False (and the missing-group flag) for a group not in the file.
  bool SelectGroup(const std::string& name);
  std::string ReadString(const std::string& key, const std::string& default_value = "");
  std::int32_t ReadNumber(const std::string& key, std::int32_t default_value);
  bool RewindKeys();
  bool NextKey();
  std::string CurrentValue() const;
  // Calls `visit` with the value of every key of the current group spelled `prefix` followed by
  // a number from 1 to `last` in decimal without leading zeros ("Task7"), prepared as ReadString
  // prepares it, in the order of the numbers; of keys with the same number only the first counts,
  // as a lookup would find it. One pass, however many keys the group holds.
  template <typename Visit>
  void ForEachNumberedValue(const std::string& prefix, std::int64_t last, Visit visit) const {
    const std::size_t group = missing_group_ ? kMissing : group_;
    for (std::uint32_t entry : NumberedEntries(group, prefix, last)) {
      visit(PrepareValue(entries_[entry]));
    }
  }
  void Close();

  // Closes the file but keeps what was read from it, for a reader that is done with the file.
  void ReleaseFile();

  // Lookups that name their group and leave the cursor alone: "" is the top section; a missing
  // group or key gives the default, and a missing group visits nothing.
  std::string ValueIn(const std::string& group, const std::string& key,
                      const std::string& default_value) const;
  std::int32_t NumberIn(const std::string& group, const std::string& key,
                        std::int32_t default_value) const;
  template <typename Visit>
  void ForEachValueIn(const std::string& group, Visit visit) const {
    for (std::uint32_t entry : KeyEntries(FindGroup(group))) visit(PrepareValue(entries_[entry]));
  }
  template <typename Visit>
  void ForEachNumberedValueIn(const std::string& group, const std::string& prefix,
                              std::int64_t last, Visit visit) const {
    for (std::uint32_t entry : NumberedEntries(FindGroup(group), prefix, last)) {
      visit(PrepareValue(entries_[entry]));
    }
  }

  enum class EntryKind : std::uint8_t { kGroup, kComment, kKey };
  // One entry of the file, as offsets into its bytes: the name (group name, comment text or key)
  // and, for a key line, the value as stored (leading blanks removed, trailing blanks kept).
  struct Entry {
    std::uint32_t name_begin;
    std::uint32_t name_end;
    std::uint32_t value_begin;
    std::uint32_t value_end;
    EntryKind kind;
  };

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  // A group that is not in the file (or a reader that is not open).
  static constexpr std::size_t kMissing = static_cast<std::size_t>(-2);

  // The index of the header of group `name`; kNone for "", the top section; kMissing.
  std::size_t FindGroup(const std::string& name) const;
  // The index of the key line found for `key` in `group` (as FindGroup gives it), or kNone.
  std::size_t FindKey(std::size_t group, const std::string& key) const;
  std::int32_t NumberOf(const Entry& entry) const;
  std::string_view Name(const Entry& entry) const;
  // Trims and (in UTF-8 mode) decodes a key line's value.
  std::string PrepareValue(const Entry& entry) const;
  // The key lines of `group`, in file order.
  std::vector<std::uint32_t> KeyEntries(std::size_t group) const;
  // The key lines ForEachNumberedValue visits in `group`, in its order.
  std::vector<std::uint32_t> NumberedEntries(std::size_t group, const std::string& prefix,
                                             std::int64_t last) const;

  FileSystem& fs_;
  FileHandle handle_ = 0;  // the platform handle, kept from Open to Close
  bool open_ = false;
  bool utf8_ = false;
  bool missing_group_ = false;
  std::unique_ptr<char[]> data_;      // the file's bytes after any signature, up to a NUL
  std::unique_ptr<Entry[]> entries_;  // in file order
  std::size_t entry_count_ = 0;
  std::size_t group_ = kNone;   // index of the current group header; kNone for the top section
  std::size_t cursor_ = kNone;  // index of the entry under the key cursor
};

// Finds the entries of `data`, the bytes of a file after any UTF-8 signature, and writes them in
// file order to `entries` unless it is null; returns their number either way, so that the room
// for them can be asked for first.
std::size_t ScanPreferenceEntries(std::string_view data, PreferenceReader::Entry* entries);

}  // namespace uninstall

#endif  // UNINSTALL_DESCRIPTION_PREFERENCE_READER_H_
