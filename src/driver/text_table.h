// Every text the user sees, with its English default and the installation's language.
#ifndef UNINSTALL_DRIVER_TEXT_TABLE_H_
#define UNINSTALL_DRIVER_TEXT_TABLE_H_

#include <string>

#include "description/description.h"

namespace uninstall {

struct TextTable {
  std::string prog_name;
  std::string titel;
  std::string msg;
  std::string version;
  std::string uninst_info;
  std::string name_with_version;
  std::string del_all;
  std::string error;
  std::string status;
  std::string mutex;
  std::string logon;
  std::string user;
  std::string password;
  std::string rq_titel;
  std::string rq_msg;
  std::string ok;
  std::string cancel;
  std::string ready;
  std::string login;
  std::string script_timeout;
};

// Fills the whole table from uninstall.dat at `path`; whatever is missing takes its default.
void LoadTexts(const Description& description, TextTable* texts);

}  // namespace uninstall

#endif  // UNINSTALL_DRIVER_TEXT_TABLE_H_
