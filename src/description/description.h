// What uninstall.dat says, read whole at one moment: the steps look values up in it, and a later
// change of the file is not seen.
#ifndef UNINSTALL_DESCRIPTION_DESCRIPTION_H_
#define UNINSTALL_DESCRIPTION_DESCRIPTION_H_

#include <cstdint>
#include <string>

#include "description/preference_reader.h"
#include "platform/file_system.h"

namespace uninstall {

class Description {
 public:
  // Reads the file at `path` and closes it again. A file that cannot be read describes nothing:
  // every lookup gives its default.
  Description(FileSystem& fs, const std::string& path) : reader_(fs) {
    reader_.Open(path);
    reader_.ReleaseFile();
  }
  Description(const Description&) = delete;
  Description& operator=(const Description&) = delete;

  // Group and key names are compared without regard to ASCII case; "" is the top section.
  std::string Value(const std::string& group, const std::string& key,
                    const std::string& default_value = "") const {
    return reader_.ValueIn(group, key, default_value);
  }
  std::int32_t Number(const std::string& group, const std::string& key,
                      std::int32_t default_value) const {
    return reader_.NumberIn(group, key, default_value);
  }

  // Every value of `group` in file order, duplicates included; key names carry no meaning here.
  // One value at a time: a group of a hundred thousand lines is never copied whole.
  template <typename Visit>
  void ForEachValue(const std::string& group, Visit visit) const {
    reader_.ForEachValueIn(group, visit);
  }

  // The values of `prefix`1 to `prefix``last` of `group`, in the order of their numbers.
  template <typename Visit>
  void ForEachNumberedValue(const std::string& group, const std::string& prefix, std::int64_t last,
                            Visit visit) const {
    reader_.ForEachNumberedValueIn(group, prefix, last, visit);
  }

 private:
  PreferenceReader reader_;
};

}  // namespace uninstall

#endif  // UNINSTALL_DESCRIPTION_DESCRIPTION_H_
