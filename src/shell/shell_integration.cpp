#include "shell/shell_integration.h"

#include "common/status_line.h"
#include "common/text.h"
#include "files/file_removal.h"
#include "files/path_probe.h"
#include "shell/registry_deletion.h"
#include "shell/user_tasks.h"
#include "ui/control_ids.h"

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

void RemoveStartMenuLinks(const ShellIntegrationParts& parts, const StatusLine& status,
                          const std::string& description_file_path) {
  PreferenceReader& reader = parts.reader;
  reader.Open(description_file_path);
  reader.SelectGroup("StartMenu");
  for (const char* key : kLinkKeys) {
    std::string link = reader.ReadString(key, "");
    if (link.empty()) continue;
    if (!IsExistingFile(parts.fs, link)) link = WithPifForLnk(link);
    status.Show(link);  // the file actually deleted
    RemoveFile(parts.fs, link);
  }
  reader.Close();
}

void RemoveDesktopLink(const ShellIntegrationParts& parts, const StatusLine& status,
                       std::string* desktop_icon) {
  if (desktop_icon->empty()) return;
  status.Show(*desktop_icon);  // the path as configured, before any fallback
  if (!IsExistingFile(parts.fs, *desktop_icon)) *desktop_icon = WithPifForLnk(*desktop_icon);
  RemoveFile(parts.fs, *desktop_icon);
}

// The per-user product key goes only on the user's explicit request in the window.
void RemoveProductKey(const ShellIntegrationParts& parts, const StatusLine& status,
                      bool interactive, const std::string& guid) {
  if (!interactive || !parts.windows.IsChecked(kDeleteAllCheckBox) || guid.empty()) return;
  const std::string key = kProductKey + guid;
  status.Show(key);
  for (const char* value : kProductValues) {
    DeleteRegistryValue(parts.registry, kCurrentUser, key, value);
  }
  DeleteRegistryKey(parts.registry, kCurrentUser, key);
  // The common parent goes only once no other product's key is left below it.
  DeleteRegistryKey(parts.registry, kCurrentUser, kProductKey);
}

void RemoveStartMenuDirectory(const ShellIntegrationParts& parts, const StatusLine& status,
                              const std::string& start_menu) {
  // Anything left in it (a foreign link, a subdirectory) keeps the directory.
  if (!IsEmptyDirectory(parts.fs, start_menu)) return;
  status.Show(start_menu);
  RemoveEmptyDirectory(parts.fs, start_menu);
}

void RunAfterProgram(const ShellIntegrationParts& parts, const UninstallSettings& settings,
                     const std::string& uninstaller_dir) {
  if (settings.after_uninst.empty()) return;
  const std::string file = uninstaller_dir + settings.after_uninst;
  if (!IsExistingFile(parts.fs, file)) return;
  ProgramLauncher::StartResult result = parts.launcher.StartProgram(
      file, settings.after_param, uninstaller_dir, kWaitForExit | kKeepHandle);
  // Its exit code means nothing to the uninstaller.
  if (result.program != nullptr) parts.launcher.CloseProgram(result.program);
}

}  // namespace

void RemoveShellIntegration(const ShellIntegrationParts& parts, bool interactive,
                            UninstallSettings* settings, const std::string& uninstaller_dir,
                            const std::string& description_file_path) {
  // Status texts only for a removal started from the main window.
  const StatusLine status(interactive ? &parts.windows : nullptr, parts.heartbeat);
  RemoveStartMenuLinks(parts, status, description_file_path);
  RemoveDesktopLink(parts, status, &settings->desktop_icon);
  RemoveProductKey(parts, status, interactive, settings->guid);
  RemoveUserTasks(parts, status, description_file_path);
  RemoveStartMenuDirectory(parts, status, settings->start_menu);
  // Last, so the after-program runs before the program files and the entry are removed.
  RunAfterProgram(parts, *settings, uninstaller_dir);
}

}  // namespace uninstall
