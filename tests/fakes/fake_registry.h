// The in-memory registry of the tests: the product's registry model, with every call logged and
// failing when the log says so. Roots are accepted by any number.
#ifndef UNINSTALL_TESTS_FAKES_FAKE_REGISTRY_H_
#define UNINSTALL_TESTS_FAKES_FAKE_REGISTRY_H_

#include <string>

#include "fakes/call_log.h"
#include "model/memory_registry.h"

namespace uninstall {

class FakeRegistry : public MemoryRegistry {
 public:
  explicit FakeRegistry(CallLog* log) : log_(log) {}

  std::uint32_t version_word = 0x1DB10106;

  // Setting up and looking at the result. Paths are relative to the root, "A\B\C".
  void SetValue(std::uint32_t root, const std::string& path, const std::string& name,
                const std::string& data = "x") {
    MemoryRegistry::SetValue(root, path, name, data);
  }
  bool HasKey(std::uint32_t root, const std::string& path) { return KeyExists(root, path); }
  bool HasValue(std::uint32_t root, const std::string& path, const std::string& name) {
    return ValueExists(root, path, name);
  }

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
  CallLog* log_;
};

}  // namespace uninstall

#endif  // UNINSTALL_TESTS_FAKES_FAKE_REGISTRY_H_
