// The values of a group read by enumeration ([Files], [Dirs], [Data], [DataDirs]).
#ifndef UNINSTALL_DESCRIPTION_GROUP_VALUES_H_
#define UNINSTALL_DESCRIPTION_GROUP_VALUES_H_

#include <string>
#include <vector>

#include "description/preference_reader.h"

namespace uninstall {

// Every value of `group` of the open reader, in file order, duplicates included; none when
// the group is missing. Key names carry no meaning here.
std::vector<std::string> GroupValues(PreferenceReader& reader, const std::string& group);

}  // namespace uninstall

#endif  // UNINSTALL_DESCRIPTION_GROUP_VALUES_H_
