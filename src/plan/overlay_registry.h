// The registry of a plan: reads go to the system's registry, deletions are written to the plan
// and kept here, so that later reads no longer find what the plan removed. A key that the real
// run would create to open it is created here only; it is not on the machine, so its deletion
// is no action of the plan.
#ifndef UNINSTALL_PLAN_OVERLAY_REGISTRY_H_
#define UNINSTALL_PLAN_OVERLAY_REGISTRY_H_

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>

#include "plan/plan_log.h"
#include "platform/registry.h"
#include "platform/registry_view.h"

namespace uninstall {

// "HKLM\Software\X", as a plan shows a key.
std::string KeyText(std::uint32_t root, const std::string& path);

class OverlayRegistry : public Registry {
 public:
  OverlayRegistry(Registry& system, RegistryView& view, PlanLog* plan);

  bool CreateKey(std::uint32_t root, const std::string& path, RegistryHandle* key) override;
  bool DeleteValue(RegistryHandle key, const std::string& name) override;
  bool ConnectRegistry(const std::string& computer, std::uint32_t root,
                       RegistryHandle* key) override;
  bool DeleteKey(RegistryHandle key, const std::string& path) override;
  void CloseKey(RegistryHandle key) override;
  ValueRead ReadStringValue(std::uint32_t root, const std::string& path, const std::string& name,
                            std::string* data) override;
  std::uint32_t VersionWord() override;

 private:
  using KeyName = std::pair<std::uint32_t, std::string>;  // root, path in small letters (names
                                                          // compare without regard to ASCII case)

  bool IsGone(std::uint32_t root, const std::string& path) const;
  bool IsOnMachine(std::uint32_t root, const std::string& path);
  bool Exists(std::uint32_t root, const std::string& path);
  bool HasSubkeys(std::uint32_t root, const std::string& path);

  Registry& system_;
  RegistryView& view_;
  PlanLog* plan_;
  std::set<KeyName> gone_keys_;
  std::set<KeyName> created_keys_;
  std::set<std::tuple<std::uint32_t, std::string, std::string>> gone_values_;
  std::map<RegistryHandle, std::pair<std::uint32_t, std::string>> handles_;  // root, path
  std::uintptr_t next_handle_ = 1;
};

}  // namespace uninstall

#endif  // UNINSTALL_PLAN_OVERLAY_REGISTRY_H_
