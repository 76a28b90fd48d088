#include "description/uninstall_settings.h"

#include "common/paths.h"

namespace uninstall {
namespace {

// Yes/no settings keep only their low 8 bits: 256 means no.
std::uint8_t ReadFlag(const Description& description, const std::string& key) {
  return static_cast<std::uint8_t>(description.Number("Settings", key, 0) & 0xFF);
}

}  // namespace

UninstallSettings ReadUninstallSettings(const Description& description,
                                        const std::string& uninstaller_dir) {
  UninstallSettings settings;
  settings.mutex_string = description.Value("Settings", "MutexString");
  settings.prog_exe = description.Value("Settings", "ProgExe", "-1");
  settings.prog_dir = description.Value("Settings", "ProgDir");
  settings.data_dir = description.Value("Settings", "DataDir");
  settings.start_menu = description.Value("Settings", "StartMenu");
  settings.guid = description.Value("Settings", "GUID");
  settings.script = ReadFlag(description, "Script");
  settings.prog_dir = WithTrailingBackslash(settings.prog_dir);
  settings.data_dir = WithTrailingBackslash(settings.data_dir);
  settings.no_del_all =
      uninstaller_dir == settings.prog_dir ? ReadFlag(description, "NoDelAll") : 0;
  settings.desktop_icon = description.Value("Settings", "DesktopIcon");
  settings.login_admin = ReadFlag(description, "LoginAdmin");
  settings.before_uninst = description.Value("StartProg", "BeforeUninst");
  settings.before_param = description.Value("StartProg", "BeforeParam");
  settings.after_uninst = description.Value("StartProg", "AfterUninst");
  settings.after_param = description.Value("StartProg", "AfterParam");
  return settings;
}

}  // namespace uninstall
