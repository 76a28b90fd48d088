#include "check/description_check.h"

#include <algorithm>
#include <cstdint>
#include <map>

#include "common/ascii_case.h"
#include "common/paths.h"
#include "description/description.h"
#include "names/value_names.h"
#include "shell/task_entry.h"

namespace uninstall {
namespace {

using Kind = Description::EntryKind;

// The keys each keyed group knows; a group not named here and not a list group is not read.
const std::map<std::string, std::vector<std::string>>& KnownKeys() {
  static const std::map<std::string, std::vector<std::string>> known = {
      {"settings",
       {"progname", "version", "progexe", "mutexstring", "progdir", "nodelall", "datadir",
        "startmenu", "guid", "proglink", "desktopicon", "script", "loginadmin"}},
      {"startprog", {"beforeuninst", "beforeparam", "afteruninst", "afterparam"}},
      {"startmenu", {"program", "addexe", "help", "homepage", "autorenew", "uninstall"}},
      {"language",
       {"titel", "msg", "version", "uninstinfo", "delall", "error", "status", "mutex", "logon",
        "user", "password", "rq_titel", "rq_msg", "ok", "cancel", "ready", "login"}},
      {"usertask", {"number"}},
  };
  return known;
}

bool IsListGroup(const std::string& group) {
  return group == "files" || group == "dirs" || group == "data" || group == "datadirs";
}

// The number after "Task" in a key of [UserTask] as the uninstaller reads it; -1 for none.
std::int64_t TaskKeyNumber(const std::string& key) {
  if (key.size() <= 4 || key.compare(0, 4, "task") != 0 || key[4] == '0') return -1;
  std::int64_t number = 0;
  for (std::size_t i = 4; i < key.size(); ++i) {
    if (key[i] < '0' || key[i] > '9' || i >= 4 + 18) return -1;
    number = number * 10 + (key[i] - '0');
  }
  return number;
}

bool IsAbsolute(const std::string& path) {
  return (path.size() >= 3 && path[1] == ':' &&
          kPathSeparators.find(path[2]) != std::string::npos) ||
         path.rfind("\\\\", 0) == 0;
}

class Checker {
 public:
  Checker(const Description& description, const std::string& uninstaller_dir, FileNames& names)
      : description_(description), uninstaller_dir_(uninstaller_dir), names_(names) {}

  std::vector<Finding> Run() {
    description_.ForEachEntry([&](const Description::EntryText& entry) { Visit(entry); });
    CheckSettings();
    CheckDirectoryOrder();
    CheckTaskCount();
    return std::move(findings_);
  }

 private:
  void Error(std::size_t line, std::string text) { findings_.push_back({line, true, text}); }
  void Warning(std::size_t line, std::string text) { findings_.push_back({line, false, text}); }

  std::size_t LineOf(const std::string& group, const std::string& key) const {
    auto found = first_key_line_.find(group + "|" + key);
    return found == first_key_line_.end() ? 0 : found->second;
  }

  void Visit(const Description::EntryText& entry) {
    if (entry.kind == Kind::kComment) return;
    if (entry.kind == Kind::kGroup) {
      group_ = AsciiLowered(entry.name);
      const auto [first, added] = first_group_line_.emplace(group_, entry.line);
      group_counts_ = added;
      if (!added) {
        Warning(entry.line, "[" + std::string(entry.name) + "] appears again (first at line " +
                                std::to_string(first->second) +
                                "): only the first is read; merge the two");
      } else if (!IsListGroup(group_) && KnownKeys().count(group_) == 0) {
        Warning(entry.line, "[" + std::string(entry.name) +
                                "] is not a group the uninstaller reads; check its spelling");
      }
      return;
    }
    if (!group_counts_) return;
    const std::string name(entry.name);
    if (description_.utf8() && !entry.stored_value.empty() && entry.value.empty()) {
      Error(entry.line, name +
                            " holds a character above U+00FF or invalid UTF-8: the value "
                            "reads as empty; use only Latin-1 characters");
    }
    if (group_ != "language" && (entry.value.find(" ;") != std::string::npos ||
                                 entry.value.find("\t;") != std::string::npos)) {
      Warning(entry.line, "a ';' after a value belongs to the value: " + name + " reads as \"" +
                              entry.value + "\"; put comments on lines of their own");
    }
    if (IsListGroup(group_)) {
      VisitListValue(entry.line, entry.value);
      return;
    }
    const std::string key = AsciiLowered(name);
    if (!first_key_line_.emplace(group_ + "|" + key, entry.line).second) {
      Warning(entry.line, name + " appears again in [" + group_ + "] (first at line " +
                              std::to_string(LineOf(group_, key)) + "): the first counts");
      return;
    }
    if (group_ == "usertask") {
      const std::int64_t number = TaskKeyNumber(key);
      if (number > 0) {
        if (number > highest_task_) {
          highest_task_ = number;
          highest_task_line_ = entry.line;
        }
        CheckTask(entry.line, name, entry.value);
        return;
      }
    }
    auto known = KnownKeys().find(group_);
    if (known != KnownKeys().end() &&
        std::find(known->second.begin(), known->second.end(), key) == known->second.end()) {
      Warning(entry.line, name + " is not a key of [" + group_ +
                              "]: the uninstaller does not read it; check its spelling");
    }
  }

  void VisitListValue(std::size_t line, const std::string& value) {
    const bool data = group_ == "data" || group_ == "datadirs";
    if (value.empty()) {
      if (group_ == "dirs") {
        Warning(line,
                "an empty [Dirs] value names the uninstaller's whole directory: with "
                "\"delete all\" it goes with everything in it");
      } else if (group_ != "datadirs") {
        Warning(line, "an empty value names no file; give the file's path");
      }
      return;
    }
    if (!StaysInside(value) && data) {
      Error(line, value +
                      " leads outside its directory (\"..\", a drive or a leading "
                      "backslash): the uninstaller refuses it; give a path relative to DataDir");
    } else if (!StaysInside(value)) {
      Warning(line, value + " leads outside the uninstaller's directory: the ordinary removal " +
                        (group_ == "dirs" ? "removes, when it is empty, " : "deletes ") +
                        OutsideTarget(value) + ", and \"delete all\" leaves it");
    } else if ((data ? 0 : uninstaller_dir_.size()) + value.size() > kMaxPathBytes) {
      Error(line, value + " makes a path longer than 259 characters: it names nothing");
    }
    if (data) {
      if (data_line_ == 0) data_line_ = line;
      return;
    }
    if (group_ == "dirs") dirs_.push_back({line, value});
    if (group_ == "files") files_.push_back(ComparableValue(names_, value));
  }

  // What a value that leads outside names, joined to the uninstaller's directory.
  std::string OutsideTarget(const std::string& value) const {
    if (uninstaller_dir_.empty()) return "what it names from there";
    const std::optional<ParentAndName> target = ResolvedByText(uninstaller_dir_ + value);
    if (!target || target->name.empty()) return "nothing (" + uninstaller_dir_ + value + ")";
    return target->directory + target->name;
  }

  void CheckTask(std::size_t line, const std::string& key, const std::string& task) {
    if (task.empty()) return;
    const std::uint32_t kind = TaskNumber(TaskField(task, 1));
    if (kind == kTaskRegistryValue) {
      const std::uint32_t root = TaskNumber(TaskField(task, 2));
      if (root < 0x80000000u || root > 0x80000002u) {
        Warning(line, key + ": registry root " + TaskField(task, 2) +
                          " is none of 2147483648 (HKCR), 2147483649 (HKCU), 2147483650 (HKLM)");
      }
    } else if (kind != kTaskFileAssociation) {
      const std::string path = TrimSpaces(TaskField(task, kind == kTaskUnregisterDll ? 3 : 2));
      std::string unquoted = path;
      if (!unquoted.empty() && unquoted.front() == '"') unquoted.erase(0, 1);
      if (!IsAbsolute(unquoted)) {
        Warning(line, key + ": " + (path.empty() ? std::string("no path") : path) +
                          " is no full path: the file is looked for in whatever directory is "
                          "current; give its full path");
      }
    }
  }

  void CheckSettings() {
    const std::string prog_exe = description_.Value("Settings", "ProgExe", "-1");
    const std::size_t settings_line =
        first_group_line_.count("settings") ? first_group_line_.at("settings") : 0;
    if (prog_exe == "-1" || prog_exe.empty()) {
      Error(settings_line,
            "ProgExe is missing from [Settings]: without the main executable the "
            "uninstaller removes nothing at all");
    } else if (const std::u16string key = ComparableValue(names_, prog_exe);
               std::none_of(files_.begin(), files_.end(), [&](const std::u16string& file) {
                 return names_.SameFileName(file, key);
               })) {
      Warning(LineOf("settings", "progexe"), "ProgExe " + prog_exe +
                                                 " is not listed in [Files]: it stays after an "
                                                 "ordinary removal; list it");
    }
    for (const char* flag : {"Script", "NoDelAll", "LoginAdmin"}) {
      const std::int32_t number = description_.Number("Settings", flag, 0);
      if (number != 0 && (number & 0xFF) == 0) {
        Warning(LineOf("settings", AsciiLowered(flag)),
                std::string(flag) + "=" + std::to_string(number) +
                    " keeps only its low 8 bits and means no; write 1 for yes");
      }
    }
    if ((description_.Number("Settings", "NoDelAll", 0) & 0xFF) != 0) {
      const std::string prog_dir = WithTrailingBackslash(description_.Value("Settings", "ProgDir"));
      if (prog_dir == "\\" || (!uninstaller_dir_.empty() && prog_dir != uninstaller_dir_)) {
        Warning(LineOf("settings", "nodelall"),
                "NoDelAll counts only when ProgDir is the uninstaller's own directory, letter for "
                "letter" +
                    (uninstaller_dir_.empty() ? std::string() : " (" + uninstaller_dir_ + ")") +
                    "; set ProgDir to it");
      }
    }
    const std::string data_dir = description_.Value("Settings", "DataDir");
    if (data_line_ != 0 && data_dir.empty()) {
      Error(data_line_,
            "[Data] and [DataDirs] are relative to DataDir, which [Settings] does not "
            "give: nothing of them is removed; set DataDir");
    }
    for (const char* absolute : {"DataDir", "StartMenu", "DesktopIcon"}) {
      const std::string value = description_.Value("Settings", absolute);
      if (!value.empty() && !IsAbsolute(value)) {
        Warning(LineOf("settings", AsciiLowered(absolute)),
                std::string(absolute) + " " + value + " is no full path; give it with its drive");
      }
    }
    if (description_.Value("Settings", "GUID").empty() &&
        description_.Value("Settings", "ProgLink").empty()) {
      Warning(settings_line,
              "neither GUID nor ProgLink is set: the entry in the list of installed "
              "programs stays");
    }
    for (const char* program : {"Before", "After"}) {
      if (description_.Value("StartProg", std::string(program) + "Uninst").empty() &&
          !description_.Value("StartProg", std::string(program) + "Param").empty()) {
        Warning(LineOf("startprog", AsciiLowered(std::string(program) + "Param")),
                std::string(program) + "Param is set without " + program +
                    "Uninst: nothing is started");
      }
    }
  }

  // A directory value as a prefix of what lies below it: one backslash at the end.
  std::u16string DirectoryPrefix(const std::string& value) {
    return ComparableValue(names_, WithTrailingBackslash(WithoutTrailingSeparators(value, "\\/")));
  }

  // A parent listed before its own subdirectory is not empty yet when its turn comes.
  void CheckDirectoryOrder() {
    for (std::size_t i = 0; i < dirs_.size(); ++i) {
      const std::u16string parent = DirectoryPrefix(dirs_[i].second);
      for (std::size_t j = i + 1; j < dirs_.size(); ++j) {
        const std::u16string child = DirectoryPrefix(dirs_[j].second);
        if (child.size() > parent.size() &&
            names_.SameFileName(std::u16string_view(child).substr(0, parent.size()), parent)) {
          Error(dirs_[i].first, "[Dirs] lists " + dirs_[i].second + " before " + dirs_[j].second +
                                    " (line " + std::to_string(dirs_[j].first) + "): " +
                                    dirs_[i].second + " will stay; list the subdirectory first");
          break;
        }
      }
    }
  }

  void CheckTaskCount() {
    const std::int32_t number = description_.Number("UserTask", "Number", 0);
    if (highest_task_ > number) {
      Error(highest_task_line_, "Task" + std::to_string(highest_task_) +
                                    " lies beyond Number=" + std::to_string(number) +
                                    " of [UserTask]: it is never done; raise Number");
    }
  }

  const Description& description_;
  const std::string uninstaller_dir_;
  FileNames& names_;
  std::vector<Finding> findings_;
  std::string group_;         // lower case; "" for the top section
  bool group_counts_ = true;  // false in a group that appeared before
  std::map<std::string, std::size_t> first_group_line_;
  std::map<std::string, std::size_t> first_key_line_;  // "group|key", lower case
  std::vector<std::pair<std::size_t, std::string>> dirs_;
  std::vector<std::u16string> files_;  // as the system compares them
  std::size_t data_line_ = 0;
  std::int64_t highest_task_ = 0;
  std::size_t highest_task_line_ = 0;
};

}  // namespace

std::vector<Finding> CheckDescription(std::string_view bytes, const std::string& uninstaller_dir,
                                      FileNames& names) {
  std::vector<Finding> findings;
  if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
    findings.push_back({0, true,
                        "the file is UTF-16: the uninstaller reads nothing of it; save "
                        "it as ANSI or UTF-8"});
    return findings;
  }
  const std::size_t nul = bytes.find('\0');
  const Description description(bytes);
  findings = Checker(description, uninstaller_dir, names).Run();
  if (nul != std::string_view::npos) {
    const std::size_t line =
        1 + std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(nul), '\n');
    findings.push_back({line, true, "a NUL byte ends the file here: nothing after it is read"});
  }
  std::stable_sort(findings.begin(), findings.end(),
                   [](const Finding& a, const Finding& b) { return a.line < b.line; });
  return findings;
}

std::string FindingsReport(const std::string& file, const std::vector<Finding>& findings) {
  std::string report;
  std::size_t errors = 0;
  for (const Finding& finding : findings) {
    errors += finding.error ? 1 : 0;
    report += file + ":" + std::to_string(finding.line) + ": " +
              (finding.error ? "error: " : "warning: ") + finding.text + "\n";
  }
  return report + std::to_string(errors) + (errors == 1 ? " error, " : " errors, ") +
         std::to_string(findings.size() - errors) +
         (findings.size() - errors == 1 ? " warning\n" : " warnings\n");
}

int FindingsExitCode(const std::vector<Finding>& findings) {
  if (findings.empty()) return 0;
  return std::any_of(findings.begin(), findings.end(), [](const Finding& f) { return f.error; })
             ? 2
             : 1;
}

}  // namespace uninstall
