// The installation's settings, read once at start-up from [Settings] and [StartProg].
#ifndef UNINSTALL_DESCRIPTION_UNINSTALL_SETTINGS_H_
#define UNINSTALL_DESCRIPTION_UNINSTALL_SETTINGS_H_

#include <cstdint>
#include <string>

#include "description/description.h"

namespace uninstall {

struct UninstallSettings {
  std::string mutex_string;
  std::string prog_exe = "-1";
  std::string prog_dir = "\\";  // always ends with a backslash
  std::string data_dir = "\\";  // always ends with a backslash
  std::string start_menu;
  std::string guid;
  std::uint8_t script = 0;
  std::uint8_t no_del_all = 0;
  std::string desktop_icon;
  std::uint8_t login_admin = 0;
  std::string before_uninst;
  std::string before_param;
  std::string after_uninst;
  std::string after_param;
};

// The settings `description` holds. NoDelAll counts only when the uninstaller runs
// from the program directory (`uninstaller_dir` equal to ProgDir byte for byte).
UninstallSettings ReadUninstallSettings(const Description& description,
                                        const std::string& uninstaller_dir);

}  // namespace uninstall

#endif  // UNINSTALL_DESCRIPTION_UNINSTALL_SETTINGS_H_
