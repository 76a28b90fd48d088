// An in-memory registry that keeps the two rules the logic rests on: opening a key for a
// value deletion creates it (with missing parents), and a key with subkeys is never deleted.
// Roots are accepted by any number; key and value names are case-insensitive.
#ifndef UNINSTALL_TESTS_FAKES_FAKE_REGISTRY_H_
#define UNINSTALL_TESTS_FAKES_FAKE_REGISTRY_H_

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fakes/call_log.h"
#include "platform/registry.h"
#include "platform/registry_view.h"

namespace uninstall {

class FakeRegistry : public Registry, public RegistryView {
 public:
  explicit FakeRegistry(CallLog* log) : log_(log) {}

  std::uint32_t version_word = 0x1DB10106;

  // Setting up and looking at the result. Paths are relative to the root, "A\B\C".
  void SetValue(std::uint32_t root, const std::string& path, const std::string& name,
                const std::string& data = "x");
  void AddKey(std::uint32_t root, const std::string& path);
  bool HasKey(std::uint32_t root, const std::string& path) const;
  bool HasValue(std::uint32_t root, const std::string& path, const std::string& name) const;
  // Every key as "root\path" and every value as "root\path\\=name", sorted.
  std::vector<std::string> Dump() const;
  int open_handles() const { return static_cast<int>(handles_.size()); }

  bool CreateKey(std::uint32_t root, const std::string& path, RegistryHandle* key) override;
  bool DeleteValue(RegistryHandle key, const std::string& name) override;
  bool ConnectRegistry(const std::string& computer, std::uint32_t root,
                       RegistryHandle* key) override;
  bool DeleteKey(RegistryHandle key, const std::string& path) override;
  void CloseKey(RegistryHandle key) override;
  ValueRead ReadStringValue(std::uint32_t root, const std::string& path, const std::string& name,
                            std::string* data) override;
  std::uint32_t VersionWord() override;

  // The reads of a plan, not logged.
  bool KeyExists(std::uint32_t root, const std::string& path) override {
    return HasKey(root, path);
  }
  bool ValueExists(std::uint32_t root, const std::string& path, const std::string& name) override {
    return HasValue(root, path, name);
  }
  std::vector<std::string> SubkeyNames(std::uint32_t root, const std::string& path) override;

 private:
  struct Key {
    std::string name;
    std::map<std::string, std::unique_ptr<Key>> subkeys;                // by lower-case name
    std::map<std::string, std::pair<std::string, std::string>> values;  // lower -> name, data
  };
  Key* Find(std::uint32_t root, const std::string& path) const;
  Key* Create(std::uint32_t root, const std::string& path);
  void DumpKey(const Key& key, const std::string& prefix, std::vector<std::string>* out) const;

  CallLog* log_;
  mutable std::map<std::uint32_t, Key> roots_;
  std::map<RegistryHandle, std::pair<std::uint32_t, std::string>> handles_;  // root, path
  std::uintptr_t next_handle_ = 1000;
};

}  // namespace uninstall

#endif  // UNINSTALL_TESTS_FAKES_FAKE_REGISTRY_H_
