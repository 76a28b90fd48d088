#include "fakes/fake_registry.h"

#include <algorithm>
#include <cstdio>

namespace uninstall {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

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

std::string Join(const std::string& base, const std::string& path) {
  if (base.empty()) return path;
  if (path.empty()) return base;
  return base + "\\" + path;
}

std::string RootName(std::uint32_t root) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", root);
  return text;
}

}  // namespace

FakeRegistry::Key* FakeRegistry::Find(std::uint32_t root, const std::string& path) const {
  Key* key = &roots_[root];
  for (const std::string& name : Split(path)) {
    auto sub = key->subkeys.find(Lower(name));
    if (sub == key->subkeys.end()) return nullptr;
    key = sub->second.get();
  }
  return key;
}

FakeRegistry::Key* FakeRegistry::Create(std::uint32_t root, const std::string& path) {
  Key* key = &roots_[root];
  for (const std::string& name : Split(path)) {
    auto& sub = key->subkeys[Lower(name)];
    if (!sub) {
      sub = std::make_unique<Key>();
      sub->name = name;
    }
    key = sub.get();
  }
  return key;
}

void FakeRegistry::SetValue(std::uint32_t root, const std::string& path, const std::string& name,
                            const std::string& data) {
  Create(root, path)->values[Lower(name)] = {name, data};
}

void FakeRegistry::AddKey(std::uint32_t root, const std::string& path) { Create(root, path); }

bool FakeRegistry::HasKey(std::uint32_t root, const std::string& path) const {
  return Find(root, path) != nullptr;
}

bool FakeRegistry::HasValue(std::uint32_t root, const std::string& path,
                            const std::string& name) const {
  Key* key = Find(root, path);
  return key != nullptr && key->values.count(Lower(name)) > 0;
}

std::vector<std::string> FakeRegistry::SubkeyNames(std::uint32_t root, const std::string& path) {
  std::vector<std::string> names;
  if (const Key* key = Find(root, path)) {
    for (const auto& [lower, sub] : key->subkeys) names.push_back(sub->name);
  }
  return names;
}

void FakeRegistry::DumpKey(const Key& key, const std::string& prefix,
                           std::vector<std::string>* out) const {
  for (const auto& [lower, value] : key.values) out->push_back(prefix + "=" + value.first);
  for (const auto& [lower, sub] : key.subkeys) {
    std::string path = prefix + "\\" + sub->name;
    out->push_back(path);
    DumpKey(*sub, path, out);
  }
}

std::vector<std::string> FakeRegistry::Dump() const {
  std::vector<std::string> out;
  for (const auto& [root, key] : roots_) DumpKey(key, RootName(root), &out);
  std::sort(out.begin(), out.end());
  return out;
}

bool FakeRegistry::CreateKey(std::uint32_t root, const std::string& path, RegistryHandle* key) {
  if (log_->Add("CreateKey " + RootName(root) + " " + path)) return false;
  Create(root, path);
  *key = RegistryHandle(next_handle_++);
  handles_[*key] = {root, path};
  return true;
}

bool FakeRegistry::DeleteValue(RegistryHandle key, const std::string& name) {
  if (log_->Add("DeleteValue " + name)) return false;
  auto handle = handles_.find(key);
  if (handle == handles_.end()) return false;
  Key* found = Find(handle->second.first, handle->second.second);
  return found != nullptr && found->values.erase(Lower(name)) > 0;
}

bool FakeRegistry::ConnectRegistry(const std::string& computer, std::uint32_t root,
                                   RegistryHandle* key) {
  if (log_->Add("ConnectRegistry \"" + computer + "\" " + RootName(root))) return false;
  if (!computer.empty()) return false;
  *key = RegistryHandle(next_handle_++);
  handles_[*key] = {root, ""};
  return true;
}

bool FakeRegistry::DeleteKey(RegistryHandle key, const std::string& path) {
  if (log_->Add("DeleteKey " + path)) return false;
  auto handle = handles_.find(key);
  if (handle == handles_.end()) return false;
  std::string full = Join(handle->second.second, path);
  std::vector<std::string> names = Split(full);
  if (names.empty()) return false;
  std::string parent_path;
  for (std::size_t i = 0; i + 1 < names.size(); ++i) parent_path = Join(parent_path, names[i]);
  Key* parent = Find(handle->second.first, parent_path);
  if (parent == nullptr) return false;
  auto sub = parent->subkeys.find(Lower(names.back()));
  if (sub == parent->subkeys.end() || !sub->second->subkeys.empty()) return false;
  parent->subkeys.erase(sub);
  return true;
}

void FakeRegistry::CloseKey(RegistryHandle key) {
  log_->Add("CloseKey");
  handles_.erase(key);
}

ValueRead FakeRegistry::ReadStringValue(std::uint32_t root, const std::string& path,
                                        const std::string& name, std::string* data) {
  if (log_->Add("ReadValue " + RootName(root) + " " + path + " \"" + name + "\"")) {
    return ValueRead::kOther;
  }
  Key* key = Find(root, path);
  if (key == nullptr) return ValueRead::kMissing;
  auto value = key->values.find(Lower(name));
  if (value == key->values.end()) return ValueRead::kMissing;
  *data = value->second.second;
  return ValueRead::kString;
}

std::uint32_t FakeRegistry::VersionWord() {
  log_->Add("VersionWord");
  return version_word;
}

}  // namespace uninstall
