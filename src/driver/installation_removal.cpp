#include "driver/installation_removal.h"

#include "common/paths.h"
#include "files/path_probe.h"
#include "files/program_files.h"
#include "shell/shell_integration.h"
#include "shell/uninstall_entry.h"

namespace uninstall {
namespace {

// The after-program of [StartProg], when it is there, waited for.
void RunAfterProgram(const PlatformParts& platform, ProgramLauncher& launcher,
                     const Installation& installation, Progress& progress) {
  const UninstallSettings& settings = installation.settings;
  if (settings.after_uninst.empty()) return;
  const std::string file = installation.uninstaller_dir + settings.after_uninst;
  if (!IsExistingFile(platform.fs, file)) return;
  // Its exit code means nothing to the uninstaller.
  launcher.Run(file, settings.after_param, installation.uninstaller_dir, progress);
}

}  // namespace

std::uint64_t PiecesOfWork(const Description& description, RemovalOptions options) {
  // The task lines RemoveUserTasks goes through.
  std::uint64_t pieces = 0;
  description.ForEachNumberedValue("UserTask", "Task", description.Number("UserTask", "Number", 0),
                                   [&](const std::string&) { ++pieces; });
  if (options.delete_all) {
    for (const char* group : {"Dirs", "Data", "DataDirs"}) pieces += description.CountValues(group);
  } else {
    for (const char* group : {"Files", "Dirs"}) pieces += description.CountValues(group);
  }
  return pieces;
}

bool RemoveInstallation(const PlatformParts& platform, ProgramLauncher& launcher,
                        const Installation& installation, RemovalOptions options,
                        Progress& progress) {
  const UninstallSettings& settings = installation.settings;
  RemoveShellIntegration({platform.fs, platform.registry, launcher, progress},
                         installation.description, settings, options.delete_all);
  // Before the program files and the entry go.
  RunAfterProgram(platform, launcher, installation, progress);
  bool removed = false;
  if (!IsDriveRoot(installation.uninstaller_dir)) {
    const InstallationPaths paths{installation.uninstaller_dir, installation.description_file_path,
                                  settings.prog_exe, settings.data_dir,
                                  &installation.kept_uninstaller_dir};
    removed = options.delete_all
                  ? RemoveAllFiles(platform.fs, installation.description, paths, progress)
                  : RemoveProgramFiles(platform.fs, installation.description, paths, progress);
  }
  const std::string entry_name = !settings.guid.empty()
                                     ? settings.guid
                                     : installation.description.Value("Settings", "ProgLink");
  RemoveUninstallEntry(platform.registry, entry_name, progress);
  return removed;
}

}  // namespace uninstall
