#include "fakes/fake_registry.h"

namespace uninstall {

bool FakeRegistry::CreateKey(std::uint32_t root, const std::string& path, RegistryHandle* key) {
  if (log_->Add("CreateKey " + RootName(root) + " " + path)) return false;
  return MemoryRegistry::CreateKey(root, path, key);
}

bool FakeRegistry::DeleteValue(RegistryHandle key, const std::string& name) {
  if (log_->Add("DeleteValue " + name)) return false;
  return MemoryRegistry::DeleteValue(key, name);
}

bool FakeRegistry::ConnectRegistry(const std::string& computer, std::uint32_t root,
                                   RegistryHandle* key) {
  if (log_->Add("ConnectRegistry \"" + computer + "\" " + RootName(root))) return false;
  return MemoryRegistry::ConnectRegistry(computer, root, key);
}

bool FakeRegistry::DeleteKey(RegistryHandle key, const std::string& path) {
  if (log_->Add("DeleteKey " + path)) return false;
  return MemoryRegistry::DeleteKey(key, path);
}

void FakeRegistry::CloseKey(RegistryHandle key) {
  log_->Add("CloseKey");
  MemoryRegistry::CloseKey(key);
}

ValueRead FakeRegistry::ReadStringValue(std::uint32_t root, const std::string& path,
                                        const std::string& name, std::string* data) {
  if (log_->Add("ReadValue " + RootName(root) + " " + path + " \"" + name + "\"")) {
    return ValueRead::kOther;
  }
  return MemoryRegistry::ReadStringValue(root, path, name, data);
}

std::uint32_t FakeRegistry::VersionWord() {
  log_->Add("VersionWord");
  return version_word;
}

}  // namespace uninstall
