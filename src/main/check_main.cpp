// UninstallCheck [--plan | --plan=all | --code-page=N] FILE: checks an uninstall.dat for the traps
// of its format and reports them as compilers report, in UTF-8, for an installer author's editor
// or build log. The same program on Windows and on Linux; on Windows it also knows the directory
// the uninstaller would run from, and plans the uninstallation that the uninstaller there would
// carry out. Names are read in the system's code page there, and in the one --code-page gives
// (1252 unless it is given) elsewhere.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "check/description_check.h"
#include "common/ascii_case.h"
#include "names/code_page_names.h"
#include "names/encodings.h"

#ifdef _WIN32
#include "plan/dry_run.h"
#include "platform/win32/dll_search.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_registry_view.h"
#include "platform/win32/win32_security.h"
#endif

namespace {

constexpr int kUnreadable = 2;
constexpr char kUsage[] =
    "usage: UninstallCheck [--plan | --plan=all | --code-page=N] FILE\n"
    "  checks the uninstall.dat FILE\n"
    "  --plan         also lists what the uninstaller beside FILE would remove with /Q (Windows)\n"
    "  --plan=all     the same for the window with \"Delete all\" ticked (Windows)\n"
    "  --code-page=N  the ANSI code page of the systems the file is for, 1250 to 1258 (1252\n"
    "                 unless given; elsewhere than on Windows, which uses its own)\n";
constexpr char kCodePageOption[] = "--code-page=";

enum class Mode { kCheck, kPlanQuiet, kPlanAll };

bool ReadWhole(const char* path, std::string* bytes) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  char buffer[65536];
  std::size_t read = 0;
  while ((read = std::fread(buffer, 1, sizeof(buffer), file)) > 0) bytes->append(buffer, read);
  const bool ok = std::ferror(file) == 0;
  std::fclose(file);
  return ok;
}

// The directory the uninstaller beside FILE would run from, with its final backslash; "" where
// paths are not Windows paths.
std::string UninstallerDirectory(const char* path) {
#ifdef _WIN32
  char full[_MAX_PATH];
  if (_fullpath(full, path, sizeof(full)) == nullptr) return "";
  std::string directory = full;
  return directory.substr(0, directory.find_last_of("\\/") + 1);
#else
  (void)path;
  return "";
#endif
}

#ifdef _WIN32
// The uninstaller reads the file by this name beside itself.
bool IsNamedAsTheUninstallerReadsIt(const std::string& path) {
  return uninstall::AsciiLowered(path.substr(path.find_last_of("\\/:") + 1)) == "uninstall.dat";
}
#endif

// Why no plan can be made for FILE; "" when one can.
std::string PlanRefusal(const std::string& path) {
#ifdef _WIN32
  if (IsNamedAsTheUninstallerReadsIt(path)) return "";
  return "UninstallCheck: a plan needs the file named uninstall.dat, beside the uninstaller\n";
#else
  (void)path;
  return "UninstallCheck: a plan is made on Windows only, where the uninstaller runs\n";
#endif
}

#ifdef _WIN32
void PrintPlan(const char* path, Mode mode) {
  uninstall::Win32FileSystem fs;
  uninstall::Win32Processes processes;
  uninstall::Win32Registry registry;
  uninstall::Win32RegistryView registry_view;
  uninstall::Win32Security security;
  const std::vector<std::string> plan = uninstall::PlanUninstallation(
      uninstall::SystemParts{fs, processes, registry, registry_view, security},
      UninstallerDirectory(path) + "Uninstall.exe",
      mode == Mode::kPlanAll ? uninstall::PlanMode::kDeleteAll : uninstall::PlanMode::kQuiet);
  for (const std::string& line : plan) std::printf("%s\n", line.c_str());
}
#endif

// A text of the file's code page, in UTF-8; a byte that is no text of it stands for itself.
std::string Printable(uninstall::FileNames& names, const std::string& text) {
  std::u16string wide;
  if (!names.WidenName(text, &wide)) wide.assign(text.begin(), text.end());
  return uninstall::Utf8Of(wide);
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // Run beside an installation, often elevated, like the uninstaller itself: no DLL from there.
  uninstall::RestrictDllSearchToSystem32();
#endif
  Mode mode = Mode::kCheck;
  int file_index = 1;
  unsigned code_page = uninstall::kWesternCodePage;
  if (argc == 3 && std::strcmp(argv[1], "--plan") == 0) {
    mode = Mode::kPlanQuiet;
    file_index = 2;
  } else if (argc == 3 && std::strcmp(argv[1], "--plan=all") == 0) {
    mode = Mode::kPlanAll;
    file_index = 2;
  } else if (argc == 3 &&
             std::strncmp(argv[1], kCodePageOption, sizeof(kCodePageOption) - 1) == 0) {
    code_page =
        static_cast<unsigned>(std::strtoul(argv[1] + sizeof(kCodePageOption) - 1, nullptr, 10));
    file_index = 2;
#ifdef _WIN32
    code_page = 0;  // the system's own is the one that counts here
#endif
    if (!uninstall::IsKnownCodePage(code_page)) {
      std::fputs(kUsage, stderr);
      return kUnreadable;
    }
  }
  if (argc != file_index + 1 || argv[file_index][0] == '-') {
    std::fputs(kUsage, stderr);
    return kUnreadable;
  }
  const char* path = argv[file_index];
  if (mode != Mode::kCheck && !PlanRefusal(path).empty()) {
    std::fputs(PlanRefusal(path).c_str(), stderr);
    return kUnreadable;
  }
  std::string bytes;
  if (!ReadWhole(path, &bytes)) {
    std::printf("%s:0: error: the file cannot be read\n1 error, 0 warnings\n", path);
    return kUnreadable;
  }
#ifdef _WIN32
  uninstall::Win32FileSystem names;
  const std::string shown_path = Printable(names, path);
#else
  uninstall::CodePageNames names(code_page);
  const std::string shown_path = path;
#endif
  std::vector<uninstall::Finding> findings =
      uninstall::CheckDescription(bytes, UninstallerDirectory(path), names);
  for (uninstall::Finding& finding : findings) finding.text = Printable(names, finding.text);
  std::fputs(uninstall::FindingsReport(shown_path, findings).c_str(), stdout);
#ifdef _WIN32
  if (mode != Mode::kCheck) PrintPlan(path, mode);
#endif
  return uninstall::FindingsExitCode(findings);
}
