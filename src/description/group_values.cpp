#include "description/group_values.h"

namespace uninstall {

std::vector<std::string> GroupValues(PreferenceReader& reader, const std::string& group) {
  std::vector<std::string> values;
  if (!reader.SelectGroup(group) || !reader.RewindKeys()) return values;
  while (reader.NextKey()) values.push_back(reader.CurrentValue());
  return values;
}

}  // namespace uninstall
