#include "shell/shell_integration.h"

#include "common/text.h"
#include "files/file_removal.h"
#include "files/path_probe.h"
#include "shell/registry_deletion.h"
#include "shell/user_tasks.h"

namespace uninstall {
namespace {

// The link keys of [StartMenu], in the order their links are deleted.
constexpr const char* kLinkKeys[] = {"Program",  "AddExe",    "Help",
                                     "Homepage", "Autorenew", "Uninstall"};

constexpr char kProductKey[] = "SOFTWARE\\Marrowind\\";
constexpr const char* kProductValues[] = {"InstallDir", "DataDir", "StartMenu", "DesktopIcon"};

// Older systems made ".pif" files where newer ones make ".lnk" links. The comparison is
// case-sensitive, as the installer wrote the name.
std::string WithPifForLnk(const std::string& path) { return ReplaceAll(path, ".lnk", ".pif"); }

void RemoveStartMenuLinks(const ShellIntegrationParts& parts, const Description& description) {
  for (const char* key : kLinkKeys) {
    std::string link = description.Value("StartMenu", key);
    if (link.empty()) continue;
    if (!IsExistingFile(parts.fs, link)) link = WithPifForLnk(link);
    parts.progress.Show(link);  // the file actually deleted
    RemoveFile(parts.fs, link);
  }
}

void RemoveDesktopLink(const ShellIntegrationParts& parts, const std::string& desktop_icon) {
  if (desktop_icon.empty()) return;
  parts.progress.Show(desktop_icon);  // the path as configured, before any fallback
  RemoveFile(parts.fs,
             IsExistingFile(parts.fs, desktop_icon) ? desktop_icon : WithPifForLnk(desktop_icon));
}

// The per-user product key goes only on the user's explicit request in the window.
void RemoveProductKey(const ShellIntegrationParts& parts, const std::string& guid) {
  if (guid.empty()) return;
  const std::string key = kProductKey + guid;
  parts.progress.Show(key);
  for (const char* value : kProductValues) {
    DeleteRegistryValue(parts.registry, kCurrentUser, key, value);
  }
  DeleteRegistryKey(parts.registry, kCurrentUser, key);
  // The common parent goes only once no other product's key is left below it.
  DeleteRegistryKey(parts.registry, kCurrentUser, kProductKey);
}

void RemoveStartMenuDirectory(const ShellIntegrationParts& parts, const std::string& start_menu) {
  // Anything left in it (a foreign link, a subdirectory) keeps the directory.
  if (!IsEmptyDirectory(parts.fs, start_menu)) return;
  parts.progress.Show(start_menu);
  RemoveEmptyDirectory(parts.fs, start_menu);
}

}  // namespace

void RemoveShellIntegration(const ShellIntegrationParts& parts, const Description& description,
                            const UninstallSettings& settings, bool remove_product_key) {
  RemoveStartMenuLinks(parts, description);
  RemoveDesktopLink(parts, settings.desktop_icon);
  if (remove_product_key) RemoveProductKey(parts, settings.guid);
  RemoveUserTasks(parts, description);
  RemoveStartMenuDirectory(parts, settings.start_menu);
}

}  // namespace uninstall
