// The registry of a plan: the machine's registry in memory, read when first needed; what the
// planned run deletes of it is written to the plan and gone for every later read. A key that the
// real run would create to open it is made in memory only; it is not on the machine, so its
// deletion is no action of the plan.
#ifndef UNINSTALL_PLAN_PLAN_REGISTRY_H_
#define UNINSTALL_PLAN_PLAN_REGISTRY_H_

#include <cstdint>
#include <string>

#include "model/memory_registry.h"
#include "plan/plan_log.h"

namespace uninstall {

// "HKLM\Software\X", as a plan shows a key.
std::string KeyText(std::uint32_t root, const std::string& path);

class PlanRegistry : public MemoryRegistry {
 public:
  PlanRegistry(Registry& machine, RegistryView& view, FileNames& names, PlanLog* plan)
      : MemoryRegistry(machine, view, names), plan_(plan) {}

 private:
  void MachineKeyDeleted(std::uint32_t root, const std::string& path) override;
  void MachineValueDeleted(std::uint32_t root, const std::string& path,
                           const std::string& name) override;

  PlanLog* plan_;
};

}  // namespace uninstall

#endif  // UNINSTALL_PLAN_PLAN_REGISTRY_H_
