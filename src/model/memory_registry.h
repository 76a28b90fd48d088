// A registry in memory, with the rules of the system's registry that the uninstaller rests on:
// opening a key for a value deletion creates it and its missing parents; a key with subkeys is
// never deleted; key and value names compare without regard to letter case, as file names do,
// and keep the case they were given. It starts empty, or as a copy of the machine's registry that
// is read key by key when first looked at (a plan): what is read there is changed only here.
#ifndef UNINSTALL_MODEL_MEMORY_REGISTRY_H_
#define UNINSTALL_MODEL_MEMORY_REGISTRY_H_

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/file_names.h"
#include "platform/registry.h"
#include "platform/registry_view.h"

namespace uninstall {

// A root as Dump names it: its number in eight hexadecimal digits.
std::string RootName(std::uint32_t root);

class MemoryRegistry : public Registry, public RegistryView {
 public:
  // Empty.
  MemoryRegistry() = default;
  // Starting as the machine's registry, read through `machine` and `view` when first needed;
  // names in the code page of `names`.
  MemoryRegistry(Registry& machine, RegistryView& view, FileNames& names)
      : machine_(&machine), view_(&view), names_(&names) {}

  // Setting up: a value (its key and missing parents created), a key.
  void SetValue(std::uint32_t root, const std::string& path, const std::string& name,
                const std::string& data);
  void AddKey(std::uint32_t root, const std::string& path);
  // Every key as "<root in hex>\path" and every value as "<root>\path\=name", sorted; only what
  // was read or made here.
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

  bool KeyExists(std::uint32_t root, const std::string& path) override;
  bool ValueExists(std::uint32_t root, const std::string& path, const std::string& name) override;
  std::vector<std::string> SubkeyNames(std::uint32_t root, const std::string& path) override;

 protected:
  // A key or a value of the machine's registry was deleted here; `path` as the caller named it,
  // without trailing separators. (What was made here goes without a word.)
  virtual void MachineKeyDeleted(std::uint32_t /*root*/, const std::string& /*path*/) {}
  virtual void MachineValueDeleted(std::uint32_t /*root*/, const std::string& /*path*/,
                                   const std::string& /*name*/) {}

 private:
  struct Key {
    std::string name;
    bool on_machine = false;    // read from the machine's registry, not made here
    bool deleted = false;       // kept so that the machine's key is not read again
    bool subkeys_read = false;  // every subkey the machine has is in `subkeys`
    std::map<std::string, std::unique_ptr<Key>> subkeys;                // by folded name
    std::map<std::string, std::pair<std::string, std::string>> values;  // folded -> name, data
    std::set<std::string> deleted_values;  // the machine's, by folded name
  };
  struct Opened {
    std::uint32_t root = 0;
    std::string path;
  };

  // A name's key in the maps: its letters upper-cased as the system compares names.
  std::string Folded(const std::string& name);
  Key& Root(std::uint32_t root);
  // The subkey `name` of `key` at `path`, read from the machine when it has one; null for none.
  Key* Child(std::uint32_t root, const std::string& path, Key& key, const std::string& name);
  Key* Find(std::uint32_t root, const std::string& path);
  Key* Create(std::uint32_t root, const std::string& path);
  bool HasSubkeys(std::uint32_t root, const std::string& path, Key& key);
  bool IsMachineValue(std::uint32_t root, const std::string& path, const Key& key,
                      const std::string& name);

  Registry* machine_ = nullptr;
  RegistryView* view_ = nullptr;
  FileNames* names_ = nullptr;
  std::map<std::uint32_t, Key> roots_;
  std::map<RegistryHandle, Opened> handles_;
  std::uintptr_t next_handle_ = 1000;
};

}  // namespace uninstall

#endif  // UNINSTALL_MODEL_MEMORY_REGISTRY_H_
