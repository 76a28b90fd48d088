#include "plan/overlay_registry.h"

#include <cstdio>

#include "common/ascii_case.h"
#include "common/paths.h"

namespace uninstall {
namespace {

std::string Joined(const std::string& key, const std::string& subkey) {
  const std::string below = WithoutTrailingSeparators(subkey);
  if (key.empty() || below.empty()) return key + below;
  return key + "\\" + below;
}

}  // namespace

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

OverlayRegistry::OverlayRegistry(Registry& system, RegistryView& view, PlanLog* plan)
    : system_(system), view_(view), plan_(plan) {}

bool OverlayRegistry::IsGone(std::uint32_t root, const std::string& path) const {
  if (gone_keys_.empty()) return false;
  const std::string lowered = AsciiLowered(path);
  for (std::size_t end = lowered.find('\\'); end != std::string::npos;
       end = lowered.find('\\', end + 1)) {
    if (gone_keys_.count({root, lowered.substr(0, end)}) != 0) return true;
  }
  return gone_keys_.count({root, lowered}) != 0;
}

bool OverlayRegistry::IsOnMachine(std::uint32_t root, const std::string& path) {
  return !IsGone(root, path) && view_.KeyExists(root, path);
}

bool OverlayRegistry::Exists(std::uint32_t root, const std::string& path) {
  return created_keys_.count({root, AsciiLowered(path)}) != 0 || IsOnMachine(root, path);
}

bool OverlayRegistry::HasSubkeys(std::uint32_t root, const std::string& path) {
  if (IsOnMachine(root, path)) {
    for (const std::string& name : view_.SubkeyNames(root, path)) {
      if (!IsGone(root, Joined(path, name))) return true;
    }
  }
  const std::string below = AsciiLowered(path) + "\\";
  for (const KeyName& created : created_keys_) {
    if (created.first == root && created.second.compare(0, below.size(), below) == 0) return true;
  }
  return false;
}

bool OverlayRegistry::CreateKey(std::uint32_t root, const std::string& path, RegistryHandle* key) {
  const std::string full = WithoutTrailingSeparators(path);
  // The key and every missing parent come into being.
  for (std::size_t end = full.find('\\');; end = full.find('\\', end + 1)) {
    const std::string part = full.substr(0, end);
    if (!part.empty() && !Exists(root, part)) created_keys_.insert({root, AsciiLowered(part)});
    if (end == std::string::npos) break;
  }
  *key = RegistryHandle(next_handle_++);
  handles_[*key] = {root, full};
  return true;
}

bool OverlayRegistry::DeleteValue(RegistryHandle key, const std::string& name) {
  const auto opened = handles_.find(key);
  if (opened == handles_.end()) return false;
  const auto& [root, path] = opened->second;
  const auto value = std::make_tuple(root, AsciiLowered(path), AsciiLowered(name));
  if (gone_values_.count(value) != 0 || !IsOnMachine(root, path) ||
      !view_.ValueExists(root, path, name)) {
    return false;
  }
  gone_values_.insert(value);
  plan_->Add("remove value", KeyText(root, path) + " " + (name.empty() ? "(default)" : name));
  return true;
}

bool OverlayRegistry::ConnectRegistry(const std::string& computer, std::uint32_t root,
                                      RegistryHandle* key) {
  if (!computer.empty()) return false;
  *key = RegistryHandle(next_handle_++);
  handles_[*key] = {root, ""};
  return true;
}

bool OverlayRegistry::DeleteKey(RegistryHandle key, const std::string& path) {
  const auto opened = handles_.find(key);
  if (opened == handles_.end()) return false;
  const std::uint32_t root = opened->second.first;
  const std::string full = Joined(opened->second.second, path);
  if (full.empty() || !Exists(root, full) || HasSubkeys(root, full)) return false;
  created_keys_.erase({root, AsciiLowered(full)});
  if (IsOnMachine(root, full)) {
    gone_keys_.insert({root, AsciiLowered(full)});
    plan_->Add("remove key", KeyText(root, full));
  }
  return true;
}

void OverlayRegistry::CloseKey(RegistryHandle key) { handles_.erase(key); }

ValueRead OverlayRegistry::ReadStringValue(std::uint32_t root, const std::string& path,
                                           const std::string& name, std::string* data) {
  const std::string full = WithoutTrailingSeparators(path);
  if (IsGone(root, full) ||
      gone_values_.count({root, AsciiLowered(full), AsciiLowered(name)}) != 0) {
    return ValueRead::kMissing;
  }
  return system_.ReadStringValue(root, path, name, data);
}

std::uint32_t OverlayRegistry::VersionWord() { return system_.VersionWord(); }

}  // namespace uninstall
