#include "model/node_rules.h"

#include "platform/file_system.h"

namespace uninstall {

bool MayMarkForDeletion(std::uint32_t access, std::uint32_t attributes, bool holds_nothing) {
  if ((access & kNodeDelete) == 0 || (attributes & kAttributeReadOnly) != 0) return false;
  const bool directory =
      (attributes & kAttributeDirectory) != 0 && (attributes & kAttributeReparsePoint) == 0;
  return !directory || holds_nothing;
}

bool MayEraseFile(std::uint32_t attributes, bool in_use) {
  return (attributes & (kAttributeDirectory | kAttributeReadOnly)) == 0 && !in_use;
}

bool MayEraseDirectory(std::uint32_t attributes, bool holds_nothing) {
  return (attributes & kAttributeDirectory) != 0 && (attributes & kAttributeReadOnly) == 0 &&
         (holds_nothing || (attributes & kAttributeReparsePoint) != 0);
}

std::uint32_t AttributesAfterSetting(std::uint32_t now, std::uint32_t requested) {
  const std::uint32_t fixed = kAttributeDirectory | kAttributeReparsePoint;
  const std::uint32_t set = (requested & ~(kAttributeNormal | fixed)) | (now & fixed);
  return set == 0 ? kAttributeNormal : set;
}

}  // namespace uninstall
