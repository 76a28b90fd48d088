// The user texts: English defaults, replaced by the Language group of uninstall.dat.
#include "driver/text_table.h"

#include <string>

namespace uninstall {
namespace {

// Every occurrence of `marker` replaced by `replacement`, case-sensitive, left to right; the
// search continues after the inserted text, so the replacement is never searched again.
std::string ReplaceAll(std::string text, const std::string& marker,
                       const std::string& replacement) {
  std::size_t position = text.find(marker);
  while (position != std::string::npos) {
    text.replace(position, marker.size(), replacement);
    position = text.find(marker, position + replacement.size());
  }
  return text;
}

}  // namespace

void LoadTexts(PreferenceReader& reader, const std::string& path, TextTable* texts) {
  // 1. The program's name and version number from Settings.
  reader.Open(path);
  reader.SelectGroup("Settings");
  const std::string prog_name = reader.ReadString("ProgName", "");
  const std::string version_number = reader.ReadString("Version", "");

  // 2.-3.
  reader.SelectGroup("Language");
  texts->prog_name = prog_name;

  // 4.
  texts->titel = reader.ReadString("Titel", "Uninstall Program");
  texts->msg = reader.ReadString("Msg", "Program files and registry entries will be removed.");
  texts->version = reader.ReadString("Version", "Version");

  // 5.
  std::string suffix;
  if (!version_number.empty()) {
    suffix = " (" + texts->version + " " + version_number + ")";
  }

  // 6.
  texts->uninst_info =
      reader.ReadString("UninstInfo", "Remove the following program from your computer:");
  texts->name_with_version = prog_name + suffix;

  // 7.
  texts->del_all =
      reader.ReadString("DelAll", "Delete all(!) files in the directory (including user files).");
  texts->error = reader.ReadString("Error", "Uninstalling program not possible.");
  texts->status = reader.ReadString("Status", "Uninstalling completed.");

  // 8.
  texts->mutex =
      ReplaceAll(reader.ReadString("Mutex", "Close Program '$Titel' first!|Then press OK!"),
                 "$Titel", prog_name);

  // 9.
  texts->logon = reader.ReadString("Logon", "Login as administrator");
  texts->user = reader.ReadString("User", "Username:");
  texts->password = reader.ReadString("Password", "Password:");
  texts->rq_titel = reader.ReadString("RQ_Titel", "Error - Login");
  texts->rq_msg = reader.ReadString("RQ_Msg", "Login failed.");
  texts->ok = reader.ReadString("OK", "OK");
  texts->cancel = reader.ReadString("Cancel", "Cancel");
  texts->ready = reader.ReadString("Ready", "Ready");
  texts->login = reader.ReadString("Login", "Login");

  // 10.
  reader.Close();
}

}  // namespace uninstall
