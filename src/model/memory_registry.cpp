#include "model/memory_registry.h"

#include <algorithm>
#include <cstdio>

#include "common/paths.h"
#include "names/encodings.h"
#include "names/name_case.h"

namespace uninstall {
namespace {

// Key names of a path; empty names (from doubled or trailing backslashes) are dropped.
std::vector<std::string> Split(const std::string& path) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) names.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

std::string Joined(const std::string& key, const std::string& subkey) {
  if (key.empty() || subkey.empty()) return key + subkey;
  return key + "\\" + subkey;
}

}  // namespace

std::string RootName(std::uint32_t root) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(root));
  return text;
}

std::string MemoryRegistry::Folded(const std::string& name) {
  std::u16string wide;
  if (names_ == nullptr || !names_->WidenName(name, &wide)) {
    wide = WidenedFrom(kWesternCodePage, name);
  }
  return Utf8Of(UpcasedName(wide));
}

MemoryRegistry::Key& MemoryRegistry::Root(std::uint32_t root) {
  const auto [it, added] = roots_.try_emplace(root);
  if (added) it->second.on_machine = view_ != nullptr;
  return it->second;
}

MemoryRegistry::Key* MemoryRegistry::Child(std::uint32_t root, const std::string& path, Key& key,
                                           const std::string& name) {
  const std::string lower = Folded(name);
  const auto known = key.subkeys.find(lower);
  if (known != key.subkeys.end()) return known->second->deleted ? nullptr : known->second.get();
  if (!key.on_machine || key.subkeys_read || !view_->KeyExists(root, Joined(path, name))) {
    return nullptr;
  }
  auto child = std::make_unique<Key>();
  child->name = name;
  child->on_machine = true;
  return (key.subkeys[lower] = std::move(child)).get();
}

MemoryRegistry::Key* MemoryRegistry::Find(std::uint32_t root, const std::string& path) {
  Key* key = &Root(root);
  std::string walked;
  for (const std::string& name : Split(path)) {
    key = Child(root, walked, *key, name);
    if (key == nullptr) return nullptr;
    walked = Joined(walked, name);
  }
  return key;
}

MemoryRegistry::Key* MemoryRegistry::Create(std::uint32_t root, const std::string& path) {
  Key* key = &Root(root);
  std::string walked;
  for (const std::string& name : Split(path)) {
    Key* child = Child(root, walked, *key, name);
    if (child == nullptr) {
      // Made here, in place of one that was deleted here too: nothing of the machine's below.
      std::unique_ptr<Key>& made = key->subkeys[Folded(name)];
      made = std::make_unique<Key>();
      made->name = name;
      child = made.get();
    }
    key = child;
    walked = Joined(walked, name);
  }
  return key;
}

bool MemoryRegistry::HasSubkeys(std::uint32_t root, const std::string& path, Key& key) {
  if (key.on_machine && !key.subkeys_read) {
    for (const std::string& name : view_->SubkeyNames(root, path)) {
      std::unique_ptr<Key>& child = key.subkeys[Folded(name)];
      if (child) continue;  // known already, perhaps deleted here
      child = std::make_unique<Key>();
      child->name = name;
      child->on_machine = true;
    }
    key.subkeys_read = true;
  }
  return std::any_of(key.subkeys.begin(), key.subkeys.end(),
                     [](const auto& child) { return !child.second->deleted; });
}

bool MemoryRegistry::IsMachineValue(std::uint32_t root, const std::string& path, const Key& key,
                                    const std::string& name) {
  return key.on_machine && key.deleted_values.count(Folded(name)) == 0 &&
         view_->ValueExists(root, path, name);
}

void MemoryRegistry::SetValue(std::uint32_t root, const std::string& path, const std::string& name,
                              const std::string& data) {
  Create(root, path)->values[Folded(name)] = {name, data};
}

void MemoryRegistry::AddKey(std::uint32_t root, const std::string& path) { Create(root, path); }

std::vector<std::string> MemoryRegistry::Dump() const {
  std::vector<std::string> out;
  // Depth first, without a call per level.
  std::vector<std::pair<const Key*, std::string>> pending;
  for (const auto& [root, key] : roots_) pending.emplace_back(&key, RootName(root));
  while (!pending.empty()) {
    const auto [key, prefix] = pending.back();
    pending.pop_back();
    for (const auto& [lower, value] : key->values) out.push_back(prefix + "=" + value.first);
    for (const auto& [lower, sub] : key->subkeys) {
      if (sub->deleted) continue;
      out.push_back(prefix + "\\" + sub->name);
      pending.emplace_back(sub.get(), prefix + "\\" + sub->name);
    }
  }
  std::sort(out.begin(), out.end());
  return out;
}

bool MemoryRegistry::CreateKey(std::uint32_t root, const std::string& path, RegistryHandle* key) {
  Create(root, path);
  *key = RegistryHandle(next_handle_++);
  handles_[*key] = {root, WithoutTrailingSeparators(path)};
  return true;
}

bool MemoryRegistry::DeleteValue(RegistryHandle handle, const std::string& name) {
  const auto opened = handles_.find(handle);
  if (opened == handles_.end()) return false;
  const auto& [root, path] = opened->second;
  Key* key = Find(root, path);
  if (key == nullptr) return false;
  if (key->values.erase(Folded(name)) != 0) return true;
  if (!IsMachineValue(root, path, *key, name)) return false;
  key->deleted_values.insert(Folded(name));
  MachineValueDeleted(root, path, name);
  return true;
}

bool MemoryRegistry::ConnectRegistry(const std::string& computer, std::uint32_t root,
                                     RegistryHandle* key) {
  if (!computer.empty()) return false;
  *key = RegistryHandle(next_handle_++);
  handles_[*key] = {root, ""};
  return true;
}

bool MemoryRegistry::DeleteKey(RegistryHandle handle, const std::string& path) {
  const auto opened = handles_.find(handle);
  if (opened == handles_.end()) return false;
  const std::uint32_t root = opened->second.root;
  const std::string full = Joined(opened->second.path, WithoutTrailingSeparators(path));
  std::vector<std::string> names = Split(full);
  if (names.empty()) return false;
  const std::string name = names.back();
  names.pop_back();
  std::string parent_path;
  for (const std::string& above : names) parent_path = Joined(parent_path, above);
  Key* parent = Find(root, parent_path);
  Key* key = parent == nullptr ? nullptr : Child(root, parent_path, *parent, name);
  if (key == nullptr || HasSubkeys(root, Joined(parent_path, name), *key)) return false;
  const bool on_machine = key->on_machine;
  *key = Key{};
  key->name = name;
  key->deleted = true;
  if (on_machine) MachineKeyDeleted(root, full);
  return true;
}

void MemoryRegistry::CloseKey(RegistryHandle key) { handles_.erase(key); }

ValueRead MemoryRegistry::ReadStringValue(std::uint32_t root, const std::string& path,
                                          const std::string& name, std::string* data) {
  Key* key = Find(root, path);
  if (key == nullptr) return ValueRead::kMissing;
  const auto value = key->values.find(Folded(name));
  if (value != key->values.end()) {
    *data = value->second.second;
    return ValueRead::kString;
  }
  if (!key->on_machine || key->deleted_values.count(Folded(name)) != 0) {
    return ValueRead::kMissing;
  }
  return machine_->ReadStringValue(root, path, name, data);
}

std::uint32_t MemoryRegistry::VersionWord() {
  return machine_ != nullptr ? machine_->VersionWord() : 0;
}

bool MemoryRegistry::KeyExists(std::uint32_t root, const std::string& path) {
  return Find(root, path) != nullptr;
}

bool MemoryRegistry::ValueExists(std::uint32_t root, const std::string& path,
                                 const std::string& name) {
  Key* key = Find(root, path);
  return key != nullptr &&
         (key->values.count(Folded(name)) != 0 || IsMachineValue(root, path, *key, name));
}

std::vector<std::string> MemoryRegistry::SubkeyNames(std::uint32_t root, const std::string& path) {
  std::vector<std::string> names;
  Key* key = Find(root, path);
  if (key == nullptr || !HasSubkeys(root, path, *key)) return names;
  for (const auto& [lower, sub] : key->subkeys) {
    if (!sub->deleted) names.push_back(sub->name);
  }
  return names;
}

}  // namespace uninstall
