#include "description/uninstall_settings.h"

namespace uninstall {
namespace {

// Yes/no settings keep only their low 8 bits: 256 means no.
std::uint8_t ReadFlag(PreferenceReader& reader, const std::string& key) {
  return static_cast<std::uint8_t>(reader.ReadNumber(key, 0) & 0xFF);
}

}  // namespace

std::string WithTrailingBackslash(const std::string& value) {
  if (!value.empty() && value.back() == '\\') return value;
  return value + "\\";
}

UninstallSettings ReadUninstallSettings(PreferenceReader& reader,
                                        const std::string& description_path,
                                        const std::string& uninstaller_dir) {
  UninstallSettings settings;
  reader.Open(description_path);
  reader.SelectGroup("Settings");
  settings.mutex_string = reader.ReadString("MutexString", "");
  settings.prog_exe = reader.ReadString("ProgExe", "-1");
  settings.prog_dir = reader.ReadString("ProgDir", "");
  settings.data_dir = reader.ReadString("DataDir", "");
  settings.start_menu = reader.ReadString("StartMenu", "");
  settings.guid = reader.ReadString("GUID", "");
  settings.script = ReadFlag(reader, "Script");
  settings.prog_dir = WithTrailingBackslash(settings.prog_dir);
  settings.data_dir = WithTrailingBackslash(settings.data_dir);
  settings.no_del_all = uninstaller_dir == settings.prog_dir ? ReadFlag(reader, "NoDelAll") : 0;
  settings.desktop_icon = reader.ReadString("DesktopIcon", "");
  settings.login_admin = ReadFlag(reader, "LoginAdmin");
  reader.SelectGroup("StartProg");
  settings.before_uninst = reader.ReadString("BeforeUninst", "");
  settings.before_param = reader.ReadString("BeforeParam", "");
  settings.after_uninst = reader.ReadString("AfterUninst", "");
  settings.after_param = reader.ReadString("AfterParam", "");
  reader.Close();
  return settings;
}

}  // namespace uninstall
