// How the system reads and compares file names: the 8-bit names of the program in the system's
// code page, and letter case as the file system ignores it. One rule for every place that asks
// whether two names are the same file.
#ifndef UNINSTALL_PLATFORM_FILE_NAMES_H_
#define UNINSTALL_PLATFORM_FILE_NAMES_H_

#include <string>
#include <string_view>

namespace uninstall {

class FileNames {
 public:
  virtual ~FileNames() = default;

  // MultiByteToWideChar from the system's 8-bit code page, refusing invalid bytes.
  virtual bool WidenName(const std::string& text, std::u16string* wide) = 0;
  // WideCharToMultiByte to the system's 8-bit code page, refusing a character it has no byte
  // for (no best fit).
  virtual bool NarrowName(std::u16string_view wide, std::string* text) = 0;
  // CompareStringOrdinal, letter case ignored: whether `a` and `b` are one name to the file
  // system.
  virtual bool SameFileName(std::u16string_view a, std::u16string_view b) = 0;
};

}  // namespace uninstall

#endif  // UNINSTALL_PLATFORM_FILE_NAMES_H_
