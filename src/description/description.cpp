// uninstall.dat read whole: parsing, lookup, enumeration, UTF-8 handling.
#include "description/description.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/text.h"
#include "platform/scoped_handle.h"

namespace uninstall {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Equal when only the case of the ASCII letters differs.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

// A caller's 8-bit (Latin-1) name in UTF-8: bytes 0x80-0xFF become two bytes.
std::string Latin1ToUtf8(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      result.push_back(c);
    } else {
      result.push_back(static_cast<char>(0xC0 | (b >> 6)));
      result.push_back(static_cast<char>(0x80 | (b & 0x3F)));
    }
  }
  return result;
}

// A stored UTF-8 value as 8-bit (Latin-1) text. Any character above U+00FF, a stray
// continuation byte, a lead byte 0xF8-0xFF or a bad following byte makes the whole value "".
// A sequence cut short by the end of the value is dropped. Overlong forms are accepted, except
// for NUL.
std::string Utf8ToLatin1(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      result.push_back(text[i]);
      ++i;
      continue;
    }
    std::size_t length = 0;
    std::uint32_t code_point = 0;
    if (lead < 0xC0) {
      return std::string();  // continuation byte where a lead byte is due
    } else if (lead < 0xE0) {
      length = 2;
      code_point = lead & 0x1F;
    } else if (lead < 0xF0) {
      length = 3;
      code_point = lead & 0x0F;
    } else if (lead < 0xF8) {
      length = 4;
      code_point = lead & 0x07;
    } else {
      return std::string();  // no lead byte of UTF-8
    }
    for (std::size_t j = 1; j < length; ++j) {
      if (i + j >= n) return result;  // cut short by the end: dropped
      const auto follow = static_cast<unsigned char>(text[i + j]);
      if ((follow & 0xC0) != 0x80) return std::string();
      code_point = (code_point << 6) | (follow & 0x3F);
    }
    // A NUL byte would end the value at the platform's calls: an overlong form of it is as
    // invalid as a character above U+00FF.
    if (code_point > 0xFF || code_point == 0) return std::string();
    result.push_back(static_cast<char>(code_point));
    i += length;
  }
  return result;
}

std::string_view TrimBlanks(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// The number a key spells after `prefix` in decimal without leading zeros; 0 for none.
std::int64_t NumberAfter(std::string_view key, std::string_view prefix) {
  // More digits than this can't be a number the callers count to.
  constexpr std::size_t kMaxDigits = 18;
  if (key.size() <= prefix.size() || key.size() > prefix.size() + kMaxDigits ||
      !EqualIgnoringAsciiCase(key.substr(0, prefix.size()), prefix) || key[prefix.size()] == '0') {
    return 0;
  }
  std::int64_t number = 0;
  for (char digit : key.substr(prefix.size())) {
    if (digit < '0' || digit > '9') return 0;
    number = number * 10 + (digit - '0');
  }
  return number;
}

}  // namespace

bool ScanPreferenceEntries(std::string_view data, std::unique_ptr<Description::Entry[]>* entries,
                           std::size_t* count) {
  using Kind = Description::EntryKind;
  using Entry = Description::Entry;
  std::unique_ptr<Entry[]> found;
  std::size_t room = 0;
  std::size_t used = 0;
  std::uint32_t line = 1;
  bool out_of_memory = false;
  auto add = [&](Kind kind, std::size_t name_begin, std::size_t name_end, std::size_t value_begin,
                 std::size_t value_end) {
    if (used == room) {
      // Twice the room each time, asked for without an exception.
      const std::size_t more = room == 0 ? 64 : room * 2;
      std::unique_ptr<Entry[]> grown(new (std::nothrow) Entry[more]);
      if (!grown) {
        out_of_memory = true;
        return;
      }
      std::copy(found.get(), found.get() + used, grown.get());
      found = std::move(grown);
      room = more;
    }
    found[used++] = {static_cast<std::uint32_t>(name_begin),
                     static_cast<std::uint32_t>(name_end),
                     static_cast<std::uint32_t>(value_begin),
                     static_cast<std::uint32_t>(value_end),
                     line,
                     kind};
  };
  const std::size_t n = data.size();
  std::size_t i = 0;
  auto to_line_end = [&]() {
    while (i < n && !IsLineEnd(data[i])) ++i;
  };
  while (i < n) {
    while (i < n && IsBlank(data[i])) ++i;
    if (i >= n) break;  // blanks at the end of the data: nothing
    const char first = data[i];
    if (first == ';') {
      ++i;
      if (i < n && data[i] == ' ') ++i;
      const std::size_t start = i;
      to_line_end();
      add(Kind::kComment, start, i, i, i);
    } else if (first == '[') {
      ++i;
      const std::size_t start = i;
      while (i < n && data[i] != ']' && !IsLineEnd(data[i])) ++i;
      add(Kind::kGroup, start, i, i, i);
      if (i < n && data[i] == ']') to_line_end();
    } else if (IsLineEnd(first)) {
      // An empty or blank line: nothing.
    } else {
      const std::size_t start = i;
      while (i < n && data[i] != '=' && !IsLineEnd(data[i])) ++i;
      std::size_t key_end = i;
      while (key_end > start && IsBlank(data[key_end - 1])) --key_end;
      std::size_t value_start = i;
      if (i < n && data[i] == '=') {
        ++i;
        while (i < n && IsBlank(data[i])) ++i;
        value_start = i;
        to_line_end();
      }
      add(Kind::kKey, start, key_end, value_start, i);
    }
    if (out_of_memory) return false;
    for (; i < n && IsLineEnd(data[i]); ++i) {
      if (data[i] == '\n' || i + 1 == n || data[i + 1] != '\n') ++line;  // CR LF ends one line
    }
  }
  *entries = std::move(found);
  *count = used;
  return true;
}

Description::Description(FileSystem& fs, const std::string& path) {
  // Read and write access first, as this file has always been opened (nothing is written; others
  // may read it meanwhile but not change it); read access alone where that is refused, so that a
  // read-only file, medium or user still reads.
  std::uint32_t error = 0;
  ScopedFile file(fs, fs.OpenFile(path, kGenericRead | kGenericWrite, kShareRead, kOpenExisting,
                                  kAttributeNormal, &error));
  if (!file.valid()) {
    file = ScopedFile(
        fs, fs.OpenFile(path, kGenericRead, kShareRead, kOpenExisting, kAttributeNormal, &error));
  }
  if (!file.valid()) return;  // no entries, 8-bit mode
  Read(fs, file.get());
}

void Description::Read(FileSystem& fs, FileHandle file) {
  std::int64_t size = fs.SizeOfFile(file);
  if (size < 0) size = 0;
  if (size >= 3) {
    unsigned char signature[3] = {0, 0, 0};
    std::uint32_t read = 0;
    const bool ok = fs.ReadBytes(file, signature, 3, &read);
    if (ok && read == 3 && signature[0] == 0xEF && signature[1] == 0xBB && signature[2] == 0xBF) {
      utf8_ = true;
      size -= 3;
    } else {
      fs.MovePointer(file, 0, MoveFrom::kStart);
    }
  }
  if (size <= 0) return;

  // No memory for the content, or a file too large to be held, counts as an empty file: every
  // allocation of the reading asks and takes no for an answer.
  if (static_cast<std::uint64_t>(size) >= std::numeric_limits<std::uint32_t>::max()) return;
  std::unique_ptr<char[]> data(new (std::nothrow) char[static_cast<std::size_t>(size)]);
  if (!data) return;
  std::uint32_t total = 0;
  while (total < size) {
    std::uint32_t read = 0;
    if (!fs.ReadBytes(file, data.get() + total, static_cast<std::uint32_t>(size) - total, &read) ||
        read == 0) {
      break;
    }
    total += std::min<std::uint32_t>(read, static_cast<std::uint32_t>(size) - total);
  }
  Index(std::move(data), total);
}

Description::Description(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    utf8_ = true;
    bytes.remove_prefix(3);
  }
  std::unique_ptr<char[]> data(new (std::nothrow) char[bytes.size() + 1]);
  if (!data) return;
  std::copy(bytes.begin(), bytes.end(), data.get());
  Index(std::move(data), bytes.size());
}

void Description::Index(std::unique_ptr<char[]> data, std::size_t size) {
  // A NUL byte ends the data, as the two zero bytes behind it would: no value may hold one.
  const std::string_view bytes(data.get(),
                               std::find(data.get(), data.get() + size, '\0') - data.get());
  std::unique_ptr<Entry[]> entries;
  std::size_t count = 0;
  if (!ScanPreferenceEntries(bytes, &entries, &count)) return;
  data_ = std::move(data);
  entries_ = std::move(entries);
  entry_count_ = count;
}

std::size_t Description::FindGroup(const std::string& name) const {
  if (name.empty()) return kNone;
  const std::string wanted = utf8_ ? Latin1ToUtf8(name) : name;
  for (std::size_t i = 0; i < entry_count_; ++i) {
    if (entries_[i].kind == EntryKind::kGroup &&
        EqualIgnoringAsciiCase(Name(entries_[i]), wanted)) {
      return i;
    }
  }
  return kMissing;
}

std::size_t Description::FindKey(std::size_t group, const std::string& key) const {
  if (group == kMissing) return kNone;
  const std::string wanted = utf8_ ? Latin1ToUtf8(key) : key;
  for (std::size_t i = (group == kNone) ? 0 : group + 1; i < entry_count_; ++i) {
    const Entry& entry = entries_[i];
    if (entry.kind == EntryKind::kGroup) break;
    if (entry.kind == EntryKind::kKey && EqualIgnoringAsciiCase(Name(entry), wanted)) return i;
  }
  return kNone;
}

std::string_view Description::Name(const Entry& entry) const {
  return std::string_view(data_.get() + entry.name_begin, entry.name_end - entry.name_begin);
}

std::string Description::PrepareValue(const Entry& entry) const {
  const std::string_view value = TrimBlanks(
      std::string_view(data_.get() + entry.value_begin, entry.value_end - entry.value_begin));
  return utf8_ ? Utf8ToLatin1(value) : std::string(value);
}

std::int32_t Description::NumberOf(const Entry& entry) const {
  return static_cast<std::int32_t>(DecimalNumber(
      std::string_view(data_.get() + entry.value_begin, entry.value_end - entry.value_begin),
      kCWhiteSpace));
}

std::string Description::Value(const std::string& group, const std::string& key,
                               const std::string& default_value) const {
  const std::size_t found = FindKey(FindGroup(group), key);
  return found == kNone ? default_value : PrepareValue(entries_[found]);
}

std::int32_t Description::Number(const std::string& group, const std::string& key,
                                 std::int32_t default_value) const {
  const std::size_t found = FindKey(FindGroup(group), key);
  return found == kNone ? default_value : NumberOf(entries_[found]);
}

std::size_t Description::CountValues(const std::string& group) const {
  const std::size_t found = FindGroup(group);
  std::size_t count = 0;
  if (found == kMissing) return count;
  for (std::size_t i = (found == kNone) ? 0 : found + 1; i < entry_count_; ++i) {
    const EntryKind kind = entries_[i].kind;
    if (kind == EntryKind::kGroup) break;
    if (kind == EntryKind::kKey) ++count;
  }
  return count;
}

std::vector<std::uint32_t> Description::KeyEntries(std::size_t group) const {
  std::vector<std::uint32_t> keys;
  if (group == kMissing) return keys;
  for (std::size_t i = (group == kNone) ? 0 : group + 1; i < entry_count_; ++i) {
    const EntryKind kind = entries_[i].kind;
    if (kind == EntryKind::kGroup) break;
    if (kind == EntryKind::kKey) keys.push_back(static_cast<std::uint32_t>(i));
  }
  return keys;
}

std::vector<std::uint32_t> Description::NumberedEntries(std::size_t group,
                                                        const std::string& prefix,
                                                        std::int64_t last) const {
  std::vector<std::pair<std::int64_t, std::uint32_t>> found;  // number, entry
  if (group == kMissing || last < 1) return {};
  const std::string wanted = utf8_ ? Latin1ToUtf8(prefix) : prefix;
  for (std::size_t i = (group == kNone) ? 0 : group + 1; i < entry_count_; ++i) {
    const Entry& entry = entries_[i];
    if (entry.kind == EntryKind::kGroup) break;
    if (entry.kind != EntryKind::kKey) continue;
    const std::int64_t number = NumberAfter(Name(entry), wanted);
    if (number >= 1 && number <= last) found.emplace_back(number, static_cast<std::uint32_t>(i));
  }
  // In the order of the numbers; of equal numbers the first in the file, as a lookup finds it.
  std::sort(found.begin(), found.end());
  std::vector<std::uint32_t> entries;
  for (std::size_t i = 0; i < found.size(); ++i) {
    if (i == 0 || found[i].first != found[i - 1].first) entries.push_back(found[i].second);
  }
  return entries;
}

}  // namespace uninstall
