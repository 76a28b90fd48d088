// The values of a group read by enumeration ([Files], [Dirs], [Data], [DataDirs]).
#ifndef UNINSTALL_DESCRIPTION_GROUP_VALUES_H_
#define UNINSTALL_DESCRIPTION_GROUP_VALUES_H_

#include <string>

#include "description/preference_reader.h"

namespace uninstall {

// Calls `visit` with every value of `group` of the open reader, in file order, duplicates
// included; not at all when the group is missing. Key names carry no meaning here. One value at
// a time: a group of a hundred thousand lines is never copied whole.
template <typename Visit>
void ForEachValue(PreferenceReader& reader, const std::string& group, Visit visit) {
  if (!reader.SelectGroup(group) || !reader.RewindKeys()) return;
  while (reader.NextKey()) visit(reader.CurrentValue());
}

}  // namespace uninstall

#endif  // UNINSTALL_DESCRIPTION_GROUP_VALUES_H_
