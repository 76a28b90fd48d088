#include "plan/plan_registry.h"

#include <cstdio>

namespace uninstall {

std::string KeyText(std::uint32_t root, const std::string& path) {
  std::string text;
  switch (root) {
    case kClassesRoot:
      text = "HKCR";
      break;
    case kCurrentUser:
      text = "HKCU";
      break;
    case kLocalMachine:
      text = "HKLM";
      break;
    default:
      char number[16];
      std::snprintf(number, sizeof(number), "0x%08X", static_cast<unsigned>(root));
      text = number;
  }
  return path.empty() ? text : text + "\\" + path;
}

void PlanRegistry::MachineKeyDeleted(std::uint32_t root, const std::string& path) {
  plan_->Add("remove key", KeyText(root, path));
}

void PlanRegistry::MachineValueDeleted(std::uint32_t root, const std::string& path,
                                       const std::string& name) {
  plan_->Add("remove value", KeyText(root, path) + " " + (name.empty() ? "(default)" : name));
}

}  // namespace uninstall
