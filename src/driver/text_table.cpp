// The user texts: English defaults, replaced by the Language group of uninstall.dat.
#include "driver/text_table.h"

#include <string>

#include "common/text.h"

namespace uninstall {

void LoadTexts(const Description& description, TextTable* texts) {
  // The program's name and version number come from Settings, the texts from Language.
  const std::string prog_name = description.Value("Settings", "ProgName");
  const std::string version_number = description.Value("Settings", "Version");
  auto text = [&](const char* key, const char* default_text) {
    return description.Value("Language", key, default_text);
  };

  texts->prog_name = prog_name;

  texts->titel = text("Titel", "Uninstall Program");
  texts->msg = text("Msg", "Program files and registry entries will be removed.");
  texts->version = text("Version", "Version");

  std::string suffix;
  if (!version_number.empty()) {
    suffix = " (" + texts->version + " " + version_number + ")";
  }

  texts->uninst_info = text("UninstInfo", "Remove the following program from your computer:");
  texts->name_with_version = prog_name + suffix;

  texts->del_all = text("DelAll", "Delete all(!) files in the directory (including user files).");
  texts->error = text("Error", "Uninstalling program not possible.");
  texts->status = text("Status", "Uninstalling completed.");

  texts->mutex = ReplaceAll(text("Mutex", "Close Program '$Titel' first!|Then press OK!"), "$Titel",
                            prog_name);

  texts->logon = text("Logon", "Login as administrator");
  texts->user = text("User", "Username:");
  texts->password = text("Password", "Password:");
  texts->rq_titel = text("RQ_Titel", "Error - Login");
  texts->rq_msg = text("RQ_Msg", "Login failed.");
  texts->ok = text("OK", "OK");
  texts->cancel = text("Cancel", "Cancel");
  texts->ready = text("Ready", "Ready");
  texts->login = text("Login", "Login");
  texts->script_timeout =
      text("ScriptTimeout", "The uninstall script has been running for 20 seconds. Stop it?");
}

}  // namespace uninstall
