// The user texts: English defaults, replaced by the Language group of uninstall.dat.
#include "driver/text_table.h"

#include <string>

#include "common/text.h"

namespace uninstall {

void LoadTexts(PreferenceReader& reader, const std::string& path, TextTable* texts) {
  // The program's name and version number come from Settings, the texts from Language.
  reader.Open(path);
  reader.SelectGroup("Settings");
  const std::string prog_name = reader.ReadString("ProgName", "");
  const std::string version_number = reader.ReadString("Version", "");

  reader.SelectGroup("Language");
  texts->prog_name = prog_name;

  texts->titel = reader.ReadString("Titel", "Uninstall Program");
  texts->msg = reader.ReadString("Msg", "Program files and registry entries will be removed.");
  texts->version = reader.ReadString("Version", "Version");

  std::string suffix;
  if (!version_number.empty()) {
    suffix = " (" + texts->version + " " + version_number + ")";
  }

  texts->uninst_info =
      reader.ReadString("UninstInfo", "Remove the following program from your computer:");
  texts->name_with_version = prog_name + suffix;

  texts->del_all =
      reader.ReadString("DelAll", "Delete all(!) files in the directory (including user files).");
  texts->error = reader.ReadString("Error", "Uninstalling program not possible.");
  texts->status = reader.ReadString("Status", "Uninstalling completed.");

  texts->mutex =
      ReplaceAll(reader.ReadString("Mutex", "Close Program '$Titel' first!|Then press OK!"),
                 "$Titel", prog_name);

  texts->logon = reader.ReadString("Logon", "Login as administrator");
  texts->user = reader.ReadString("User", "Username:");
  texts->password = reader.ReadString("Password", "Password:");
  texts->rq_titel = reader.ReadString("RQ_Titel", "Error - Login");
  texts->rq_msg = reader.ReadString("RQ_Msg", "Login failed.");
  texts->ok = reader.ReadString("OK", "OK");
  texts->cancel = reader.ReadString("Cancel", "Cancel");
  texts->ready = reader.ReadString("Ready", "Ready");
  texts->login = reader.ReadString("Login", "Login");

  reader.Close();
}

}  // namespace uninstall
