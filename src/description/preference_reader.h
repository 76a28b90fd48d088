// The one reader of uninstall.dat: groups, key=value lines and comments.
#ifndef UNINSTALL_DESCRIPTION_PREFERENCE_READER_H_
#define UNINSTALL_DESCRIPTION_PREFERENCE_READER_H_

#include <cstdint>
#include <string>
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
  // The highest n for which the current group holds a key spelled `prefix` followed by n in
  // decimal without leading zeros, as ReadString would find it ("Task7" for "Task" and 7); 0 when
  // there is none.
  std::int64_t HighestNumberedKey(const std::string& prefix) const;
  void Close();

  enum class EntryKind { kGroup, kComment, kKey };
  struct Entry {
    EntryKind kind;
    std::string name;   // group name, comment text or key
    std::string value;  // key lines: leading blanks removed, trailing blanks kept
  };

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  // The index of the key line found for `key`, or kNone.
  std::size_t FindKey(const std::string& key) const;
  // Trims and (in UTF-8 mode) decodes a stored value.
  std::string PrepareValue(const std::string& stored) const;

  FileSystem& fs_;
  FileHandle handle_ = 0;  // the platform handle, kept from Open to Close
  bool open_ = false;
  bool utf8_ = false;
  bool missing_group_ = false;
  std::vector<Entry> entries_;
  std::size_t group_ = kNone;   // index of the current group header; kNone for the top section
  std::size_t cursor_ = kNone;  // index of the entry under the key cursor
};

// Builds the entry list from the bytes of a file (after any UTF-8 signature).
std::vector<PreferenceReader::Entry> ParsePreferenceEntries(const std::string& data);

// The one-shot read: Open, SelectGroup, ReadString, Close.
std::string ReadOneValue(PreferenceReader& reader, const std::string& group, const std::string& key,
                         const std::string& default_value, const std::string& path);

}  // namespace uninstall

#endif  // UNINSTALL_DESCRIPTION_PREFERENCE_READER_H_
