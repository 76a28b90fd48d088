#include "files/text_file.h"

#include <cstring>
#include <string_view>

#include "common/paths.h"
#include "files/path_probe.h"

namespace uninstall {

TextFile::TextFile(FileSystem& fs, FileHandle handle)
    : fs_(fs), handle_(handle), buffer_(kTextFileBufferSize) {}

TextFile::~TextFile() { CloseTextFile(); }

std::size_t TextFile::WriteLine(const std::string& text) {
  if (!handle_.valid()) return 0;
  if (!writing_) {
    // Bytes read ahead but not handed out yet: the output goes where they begin.
    if (position_ < count_) {
      fs_.MovePointer(handle_, -static_cast<std::int64_t>(count_ - position_), MoveFrom::kCurrent);
    }
    count_ = 0;
    position_ = 0;
    writing_ = true;
  }
  for (std::string_view piece : {std::string_view(text), std::string_view("\r\n")}) {
    if (piece.empty()) continue;
    if (piece.size() > buffer_.size() - count_) Flush();
    if (piece.size() >= buffer_.size()) {
      const auto size = static_cast<std::uint32_t>(piece.size());
      std::uint32_t written = 0;
      if (!fs_.WriteBytes(handle_, piece.data(), size, &written) || written != size) {
        write_failed_ = true;
      }
    } else {
      std::memcpy(buffer_.data() + count_, piece.data(), piece.size());
      count_ += piece.size();
    }
  }
  return text.size() + 2;
}

std::string TextFile::ReadLine() {
  std::string line;
  char byte = 0;
  while (ReadByte(&byte)) {
    if (byte == '\n' || byte == '\0') break;
    if (byte == '\r') {
      char next = 0;
      if (ReadByte(&next) && next != '\n') UnreadByte();
      break;
    }
    line.push_back(byte);
  }
  return line;
}

bool TextFile::AtEndOfFile() {
  char byte = 0;
  if (!ReadByte(&byte)) return true;
  UnreadByte();
  return false;
}

bool TextFile::CloseTextFile() {
  if (!handle_.valid()) return !write_failed_;
  Flush();
  fs_.CloseFile(handle_);
  handle_ = {};
  count_ = 0;
  position_ = 0;
  std::vector<char>().swap(buffer_);
  return !write_failed_;
}

void TextFile::Flush() {
  if (!writing_ || count_ == 0) return;
  std::uint32_t pending = static_cast<std::uint32_t>(count_);
  std::uint32_t written = 0;
  count_ = 0;
  if (!fs_.WriteBytes(handle_, buffer_.data(), pending, &written) || written != pending) {
    write_failed_ = true;
  }
}

bool TextFile::Fill() {
  std::uint32_t read = 0;
  count_ = 0;
  position_ = 0;
  if (!fs_.ReadBytes(handle_, buffer_.data(), static_cast<std::uint32_t>(buffer_.size()), &read)) {
    return false;
  }
  count_ = read;
  return read > 0;
}

bool TextFile::ReadByte(char* byte) {
  if (!handle_.valid()) return false;
  if (writing_) {
    Flush();
    writing_ = false;
    count_ = 0;
    position_ = 0;
  }
  if (position_ >= count_ && !Fill()) return false;
  *byte = buffer_[position_++];
  return true;
}

// Only ever follows a successful ReadByte, so the byte is still in the buffer.
void TextFile::UnreadByte() {
  if (position_ > 0) --position_;
}

std::unique_ptr<TextFile> CreateTextFile(FileSystem& fs, const std::string& path,
                                         TextFileCreation creation, const std::string& security) {
  if (!IsUsablePath(path)) return nullptr;
  const bool exclusive = creation == TextFileCreation::kExclusive;
  std::uint32_t error = 0;
  if (exclusive && !security.empty()) {
    FileHandle handle = fs.CreateProtectedFile(path, security, &error);
    return !handle.valid() ? nullptr : std::make_unique<TextFile>(fs, handle);
  }
  FileHandle handle = fs.OpenFile(path, kGenericRead | kGenericWrite, kShareRead,
                                  exclusive ? kCreateNew : kCreateAlways, kAttributeNormal, &error);
  // Recreating a hidden or system file fails; emptying it in place doesn't.
  if (!handle.valid() && !exclusive) {
    handle = fs.OpenFile(path, kGenericWrite, kShareRead, kTruncateExisting, 0, &error);
  }
  if (!handle.valid()) return nullptr;
  return std::make_unique<TextFile>(fs, handle);
}

std::unique_ptr<TextFile> OpenTextFile(FileSystem& fs, const std::string& path) {
  if (!IsUsablePath(path)) return nullptr;
  std::uint32_t error = 0;
  FileHandle handle =
      fs.OpenFile(path, kGenericRead, kShareRead, kOpenExisting, kAttributeNormal, &error);
  if (!handle.valid()) return nullptr;
  return std::make_unique<TextFile>(fs, handle);
}

}  // namespace uninstall
