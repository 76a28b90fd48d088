// Line-oriented text files, buffered in blocks of 4096 bytes in both directions.
#ifndef UNINSTALL_FILES_TEXT_FILE_H_
#define UNINSTALL_FILES_TEXT_FILE_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace uninstall {

inline constexpr std::size_t kTextFileBufferSize = 4096;

class TextFile {
 public:
  TextFile(FileSystem& fs, FileHandle handle);
  ~TextFile();  // flushes and closes when still open
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  // Writes the text and CR LF; returns the text's length plus 2.
  std::size_t WriteLine(const std::string& text);
  // The next line without its end (LF, CR, CR LF, NUL or the end of the file).
  std::string ReadLine();
  bool AtEndOfFile();
  // Writes pending output and closes the handle. False when any output could not be written
  // whole (a full disk, say), now or before.
  bool CloseTextFile();

 private:
  void Flush();
  bool Fill();
  bool ReadByte(char* byte);
  void UnreadByte();

  FileSystem& fs_;
  FileHandle handle_;
  std::vector<char> buffer_;
  std::size_t count_ = 0;     // bytes in the buffer
  std::size_t position_ = 0;  // next byte to read, in read mode
  bool writing_ = false;
  bool write_failed_ = false;
};

enum class TextFileCreation {
  kReplace,    // an existing file is replaced (or emptied in place)
  kExclusive,  // only a file that does not exist yet is created
};

// CreateFileA for writing: kReplace tries CREATE_ALWAYS, then TRUNCATE_EXISTING; kExclusive
// only CREATE_NEW, with the security descriptor `security` (SDDL) at creation when one is
// given. None when that fails.
std::unique_ptr<TextFile> CreateTextFile(FileSystem& fs, const std::string& path,
                                         TextFileCreation creation = TextFileCreation::kReplace,
                                         const std::string& security = "");
// CreateFileA for reading an existing file; none when it fails.
std::unique_ptr<TextFile> OpenTextFile(FileSystem& fs, const std::string& path);

}  // namespace uninstall

#endif  // UNINSTALL_FILES_TEXT_FILE_H_
