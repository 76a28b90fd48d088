#include "fuzz/fuzz_checks.h"

#include <algorithm>
#include <iterator>
#include <set>

#include "check/description_check.h"
#include "common/paths.h"
#include "common/text.h"
#include "description/description.h"
#include "description/uninstall_settings.h"
#include "driver/text_table.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_world.h"
#include "files/contained_removal.h"
#include "plan/dry_run.h"
#include "shell/dll_unregistration.h"
#include "shell/task_entry.h"

namespace uninstall {
namespace {

constexpr char kDescription[] = "C:\\App\\uninstall.dat";

// Values go to the platform's calls as NUL-terminated strings: one holding a NUL would be cut
// there, and no longer be what the checks before the call looked at.
std::string CheckValue(const std::string& where, const std::string& value) {
  if (value.find('\0') != std::string::npos) return where + " holds a NUL byte";
  return "";
}

}  // namespace

std::string CheckDescription(std::string_view bytes) {
  FakeFileSystem fs;
  fs.AddFile(kDescription, std::string(bytes));
  const Description description(fs, kDescription);
  if (fs.OpenHandles() != 0) return "a handle was left open";
  // The installer authors' checker takes any file too, and finds every trap at a line it has.
  const std::size_t lines = 2 + std::count(bytes.begin(), bytes.end(), '\n') +
                            std::count(bytes.begin(), bytes.end(), '\r');
  for (const Finding& finding : CheckDescription(bytes, "C:\\App\\", fs)) {
    if (finding.line > lines) return "a finding at a line the file does not have";
  }
  const UninstallSettings settings = ReadUninstallSettings(description, "C:\\App\\");
  for (const std::string* value :
       {&settings.mutex_string, &settings.prog_exe, &settings.prog_dir, &settings.data_dir,
        &settings.start_menu, &settings.guid, &settings.desktop_icon, &settings.before_uninst,
        &settings.before_param, &settings.after_uninst, &settings.after_param}) {
    if (std::string problem = CheckValue("a setting", *value); !problem.empty()) return problem;
  }
  TextTable texts;
  LoadTexts(description, &texts);
  if (std::string problem = CheckValue("a text", texts.mutex + texts.name_with_version);
      !problem.empty()) {
    return problem;
  }

  for (const char* group : {"Files", "Dirs", "Data", "DataDirs", "StartMenu", "UserTask"}) {
    std::string problem;
    description.ForEachValue(group, [&](const std::string& value) {
      if (problem.empty()) problem = CheckValue(group, value);
      // What the removal steps make of a value.
      StaysInside(value);
      IsDriveRoot(value);
      DirectoryPart(value);
      DllDirectory(value);
      ReplaceAll(value, ".lnk", ".pif");
    });
    if (!problem.empty()) return problem;
  }
  std::string problem;
  const std::int32_t tasks = description.Number("UserTask", "Number", 0);
  description.ForEachNumberedValue("UserTask", "Task", tasks, [&](const std::string& task) {
    for (int field = 1; field <= 4; ++field) {
      const std::string text = TaskField(task, field);
      TaskNumber(text);
      if (problem.empty()) problem = CheckValue("a task field", TrimSpaces(text));
    }
  });
  if (!problem.empty()) return problem;
  return "";
}

std::string CheckWholeRuns(std::string_view bytes) {
  for (bool window : {false, true}) {
    FakeWorld world(bytes);
    const std::set<std::string> before = world.Holdings();
    const std::vector<std::string> plan = PlanUninstallation(
        SystemParts{world.fs, world.processes, world.registry, world.registry, world.security},
        "C:\\App\\Uninstall.exe", window ? PlanMode::kDeleteAll : PlanMode::kQuiet);
    if (world.Holdings() != before) return "the plan changed the world";
    if (world.fs.OpenHandles() != 0) return "the plan left a handle open";
    if (world.RunAnswered(window) != 0) return "a run ended with another exit code than 0";
    const std::set<std::string> after = world.Holdings();
    std::set<std::string> removed;
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(),
                        std::inserter(removed, removed.end()));
    if (FakeWorld::PlannedRemovals(plan, before) != removed) {
      return (window ? "window run: " : "quiet run: ") + std::string("removed other than planned");
    }
    if (std::string problems = world.Problems(bytes, false); !problems.empty()) {
      return (window ? "window run: " : "quiet run: ") + problems;
    }
  }
  return "";
}

}  // namespace uninstall
