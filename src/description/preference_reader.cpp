// The reader of uninstall.dat: parsing, lookup, enumeration, UTF-8 handling.
#include "description/preference_reader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <limits>
#include <string>
#include <vector>

#include "common/text.h"

namespace uninstall {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Equal when only the case of the ASCII letters differs.
bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b) {
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
std::string Utf8ToLatin1(const std::string& text) {
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

std::string TrimBlanks(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

}  // namespace

std::vector<PreferenceReader::Entry> ParsePreferenceEntries(const std::string& data) {
  using Kind = PreferenceReader::EntryKind;
  std::vector<PreferenceReader::Entry> entries;
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
      entries.push_back({Kind::kComment, data.substr(start, i - start), std::string()});
    } else if (first == '[') {
      ++i;
      const std::size_t start = i;
      while (i < n && data[i] != ']' && !IsLineEnd(data[i])) ++i;
      entries.push_back({Kind::kGroup, data.substr(start, i - start), std::string()});
      if (i < n && data[i] == ']') to_line_end();
    } else if (IsLineEnd(first)) {
      // An empty or blank line: nothing.
    } else {
      const std::size_t start = i;
      while (i < n && data[i] != '=' && !IsLineEnd(data[i])) ++i;
      std::size_t key_end = i;
      while (key_end > start && IsBlank(data[key_end - 1])) --key_end;
      std::string key = data.substr(start, key_end - start);
      std::string value;
      if (i < n && data[i] == '=') {
        ++i;
        while (i < n && IsBlank(data[i])) ++i;
        const std::size_t value_start = i;
        to_line_end();
        value = data.substr(value_start, i - value_start);
      }
      entries.push_back({Kind::kKey, std::move(key), std::move(value)});
    }
    while (i < n && IsLineEnd(data[i])) ++i;
  }
  return entries;
}

bool PreferenceReader::Open(const std::string& path) {
  Close();
  open_ = true;

  std::uint32_t error = 0;
  FileHandle file = fs_.OpenFile(path, kGenericRead | kGenericWrite, kShareRead, kOpenExisting,
                                 kAttributeNormal, &error);
  if (file == 0) {
    file = fs_.OpenFile(path, kGenericRead, kShareRead, kOpenExisting, kAttributeNormal, &error);
  }
  if (file == 0) return false;  // open, without entries, 8-bit mode
  handle_ = file;

  std::int64_t size = fs_.SizeOfFile(file);
  if (size < 0) size = 0;
  if (size >= 3) {
    unsigned char signature[3] = {0, 0, 0};
    std::uint32_t read = 0;
    const bool ok = fs_.ReadBytes(file, signature, 3, &read);
    if (ok && read == 3 && signature[0] == 0xEF && signature[1] == 0xBB && signature[2] == 0xBF) {
      utf8_ = true;
      size -= 3;
    } else {
      fs_.MovePointer(file, 0, /*from_start=*/true);
    }
  }
  if (size <= 0) return true;

  // No memory for the content counts as an empty file.
  std::string data;
  if (static_cast<std::uint64_t>(size) > data.max_size()) return true;
  try {
    data.resize(static_cast<std::size_t>(size));
  } catch (const std::exception&) {
    return true;
  }
  std::size_t total = 0;
  while (total < data.size()) {
    const std::size_t remaining = data.size() - total;
    const auto count = static_cast<std::uint32_t>(
        std::min<std::size_t>(remaining, std::numeric_limits<std::uint32_t>::max()));
    std::uint32_t read = 0;
    if (!fs_.ReadBytes(file, &data[total], count, &read) || read == 0) break;
    total += std::min<std::size_t>(read, remaining);
  }
  // A NUL byte ends the data, as the two zero bytes behind it would: no value may hold one.
  data.resize(std::min(total, data.find('\0')));
  entries_ = ParsePreferenceEntries(data);
  return true;
}

bool PreferenceReader::SelectGroup(const std::string& name) {
  if (!open_) return false;
  if (name.empty()) {
    group_ = kNone;
    cursor_ = kNone;
    missing_group_ = false;
    return true;
  }
  const std::string wanted = utf8_ ? Latin1ToUtf8(name) : name;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].kind == EntryKind::kGroup && EqualIgnoringAsciiCase(entries_[i].name, wanted)) {
      group_ = i;
      cursor_ = i;
      missing_group_ = false;
      return true;
    }
  }
  missing_group_ = true;
  return false;
}

std::size_t PreferenceReader::FindKey(const std::string& key) const {
  if (!open_ || missing_group_) return kNone;
  const std::string wanted = utf8_ ? Latin1ToUtf8(key) : key;
  for (std::size_t i = (group_ == kNone) ? 0 : group_ + 1; i < entries_.size(); ++i) {
    const Entry& entry = entries_[i];
    if (entry.kind == EntryKind::kGroup) break;
    if (entry.kind == EntryKind::kKey && EqualIgnoringAsciiCase(entry.name, wanted)) return i;
  }
  return kNone;
}

std::string PreferenceReader::PrepareValue(const std::string& stored) const {
  std::string value = TrimBlanks(stored);
  return utf8_ ? Utf8ToLatin1(value) : value;
}

std::string PreferenceReader::ReadString(const std::string& key, const std::string& default_value) {
  const std::size_t found = FindKey(key);
  if (found == kNone) return default_value;
  return PrepareValue(entries_[found].value);
}

std::int32_t PreferenceReader::ReadNumber(const std::string& key, std::int32_t default_value) {
  const std::size_t found = FindKey(key);
  if (found == kNone) return default_value;
  return static_cast<std::int32_t>(DecimalNumber(entries_[found].value, kCWhiteSpace));
}

bool PreferenceReader::RewindKeys() {
  if (!open_ || missing_group_) return false;
  cursor_ = group_;
  return true;
}

bool PreferenceReader::NextKey() {
  if (!open_ || missing_group_) return false;
  for (std::size_t i = (cursor_ == kNone) ? 0 : cursor_ + 1; i < entries_.size(); ++i) {
    const EntryKind kind = entries_[i].kind;
    if (kind == EntryKind::kComment) continue;
    if (kind == EntryKind::kGroup) return false;
    cursor_ = i;
    return true;
  }
  return false;
}

std::string PreferenceReader::CurrentValue() const {
  if (!open_ || cursor_ == kNone || cursor_ >= entries_.size()) return std::string();
  const Entry& entry = entries_[cursor_];
  if (entry.kind != EntryKind::kKey) return std::string();
  return PrepareValue(entry.value);
}

std::int64_t PreferenceReader::HighestNumberedKey(const std::string& prefix) const {
  if (!open_ || missing_group_) return 0;
  const std::string wanted = utf8_ ? Latin1ToUtf8(prefix) : prefix;
  // More digits than this can't be a number the callers count to.
  constexpr std::size_t kMaxDigits = 18;
  std::int64_t highest = 0;
  for (std::size_t i = (group_ == kNone) ? 0 : group_ + 1; i < entries_.size(); ++i) {
    const Entry& entry = entries_[i];
    if (entry.kind == EntryKind::kGroup) break;
    if (entry.kind != EntryKind::kKey || entry.name.size() <= wanted.size() ||
        entry.name.size() > wanted.size() + kMaxDigits ||
        !EqualIgnoringAsciiCase(entry.name.substr(0, wanted.size()), wanted)) {
      continue;
    }
    const std::string digits = entry.name.substr(wanted.size());
    if (digits[0] == '0' || digits.find_first_not_of("0123456789") != std::string::npos) continue;
    std::int64_t number = 0;
    for (char digit : digits) number = number * 10 + (digit - '0');
    highest = std::max(highest, number);
  }
  return highest;
}

void PreferenceReader::Close() {
  if (handle_ != 0) {
    fs_.CloseFile(handle_);
    handle_ = 0;
  }
  open_ = false;
  utf8_ = false;
  missing_group_ = false;
  entries_.clear();
  group_ = kNone;
  cursor_ = kNone;
}

std::string ReadOneValue(PreferenceReader& reader, const std::string& group, const std::string& key,
                         const std::string& default_value, const std::string& path) {
  reader.Open(path);
  reader.SelectGroup(group);
  std::string value = reader.ReadString(key, default_value);
  reader.Close();
  return value;
}

}  // namespace uninstall
