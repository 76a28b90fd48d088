// What uninstall.dat says (groups, key=value lines and comments), read whole at one moment: the
// steps look values up in it, and a later change of the file is not seen.
#ifndef UNINSTALL_DESCRIPTION_DESCRIPTION_H_
#define UNINSTALL_DESCRIPTION_DESCRIPTION_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace uninstall {

class Description {
 public:
  // Reads the file at `path` and closes it again. A file that cannot be read describes nothing:
  // every lookup gives its default.
  Description(FileSystem& fs, const std::string& path);
  // The file's bytes as read elsewhere (a checker on a system without the file API).
  explicit Description(std::string_view bytes);
  Description(const Description&) = delete;
  Description& operator=(const Description&) = delete;

  // Group and key names are compared without regard to ASCII case; "" is the top section. Of
  // keys spelled alike the first in the group counts.
  std::string Value(const std::string& group, const std::string& key,
                    const std::string& default_value = "") const;
  std::int32_t Number(const std::string& group, const std::string& key,
                      std::int32_t default_value) const;

  // Every value of `group` in file order, duplicates included; key names carry no meaning here.
  // One value at a time: a group of a hundred thousand lines is never copied whole.
  template <typename Visit>
  void ForEachValue(const std::string& group, Visit visit) const {
    for (std::uint32_t entry : KeyEntries(FindGroup(group))) visit(PrepareValue(entries_[entry]));
  }

  // The values of the keys of `group` spelled `prefix` followed by a number from 1 to `last` in
  // decimal without leading zeros ("Task7"), prepared as Value prepares them, in the order of the
  // numbers; of keys with the same number only the first counts, as a lookup would find it. One
  // pass, however many keys the group holds.
  template <typename Visit>
  void ForEachNumberedValue(const std::string& group, const std::string& prefix, std::int64_t last,
                            Visit visit) const {
    for (std::uint32_t entry : NumberedEntries(FindGroup(group), prefix, last)) {
      visit(PrepareValue(entries_[entry]));
    }
  }

  // How many values `group` holds, duplicates included.
  std::size_t CountValues(const std::string& group) const;

  enum class EntryKind : std::uint8_t { kGroup, kComment, kKey };

  // An entry as a checker sees it: its kind, its line (from 1), its name and value as they stand
  // in the file, and the value as a lookup gives it.
  struct EntryText {
    EntryKind kind;
    std::size_t line;
    std::string_view name;
    std::string_view stored_value;
    std::string value;
  };
  // Every entry in file order.
  template <typename Visit>
  void ForEachEntry(Visit visit) const {
    for (std::size_t i = 0; i < entry_count_; ++i) {
      const Entry& entry = entries_[i];
      const bool key = entry.kind == EntryKind::kKey;
      visit(EntryText{entry.kind, entry.line, Name(entry),
                      key ? std::string_view(data_.get() + entry.value_begin,
                                             entry.value_end - entry.value_begin)
                          : std::string_view(),
                      key ? PrepareValue(entry) : std::string()});
    }
  }
  bool utf8() const { return utf8_; }
  // One entry of the file, as offsets into its bytes: the name (group name, comment text or key)
  // and, for a key line, the value as stored (leading blanks removed, trailing blanks kept); and
  // its line, from 1, lines ending at CR LF, LF or CR.
  struct Entry {
    std::uint32_t name_begin;
    std::uint32_t name_end;
    std::uint32_t value_begin;
    std::uint32_t value_end;
    std::uint32_t line;
    EntryKind kind;
  };

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  // A group that is not in the file.
  static constexpr std::size_t kMissing = static_cast<std::size_t>(-2);

  // Reads the open `file` into data_ and entries_.
  void Read(FileSystem& fs, FileHandle file);
  // Keeps the `size` bytes of `data`, up to any NUL byte, and finds their entries.
  void Index(std::unique_ptr<char[]> data, std::size_t size);
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

  bool utf8_ = false;
  std::unique_ptr<char[]> data_;      // the file's bytes after any signature, up to a NUL
  std::unique_ptr<Entry[]> entries_;  // in file order
  std::size_t entry_count_ = 0;
};

// Finds the entries of `data`, the bytes of a file after any UTF-8 signature, in file order:
// *entries receives them, *count their number. False, with none, when there was no memory for
// them (the product has no exceptions: every allocation of the reading takes no for an answer).
bool ScanPreferenceEntries(std::string_view data, std::unique_ptr<Description::Entry[]>* entries,
                           std::size_t* count);

}  // namespace uninstall

#endif  // UNINSTALL_DESCRIPTION_DESCRIPTION_H_
