#include "shell/uninstall_entry.h"

#include "shell/registry_deletion.h"

namespace uninstall {
namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// The values the installer writes into the entry; anything else goes with the key.
constexpr const char* kEntryValues[] = {"DisplayName",    "DisplayIcon", "Publisher",
                                        "URLInfoAbout",   "HelpLink",    "Contact",
                                        "UninstallString"};

}  // namespace

void RemoveUninstallEntry(Registry& registry, const std::string& entry_name, Progress& progress) {
  if (entry_name.empty()) return;
  const std::string path = kUninstallKey + entry_name;
  progress.Show(path);
  for (const char* value : kEntryValues) DeleteRegistryValue(registry, kLocalMachine, path, value);
  // A key that still has subkeys stays, but without the seven values.
  DeleteRegistryKey(registry, kLocalMachine, path);
}

}  // namespace uninstall
