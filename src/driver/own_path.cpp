#include "driver/own_path.h"

namespace uninstall {

std::string OwnProgramPath(Processes& processes, std::string* unrepresentable) {
  std::string path;
  bool exact = true;
  std::uint32_t length = processes.ModuleFileName(kOwnPathBufferSize, &path, &exact);
  // A path that filled the buffer was cut short, and a cut path names some other directory.
  if (length == 0 || length >= kOwnPathBufferSize || path.size() >= kOwnPathBufferSize) return "";
  if (!exact) {
    if (unrepresentable != nullptr) *unrepresentable = path;
    return "";
  }
  return path;
}

}  // namespace uninstall
