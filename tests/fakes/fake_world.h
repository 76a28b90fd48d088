// A whole fake platform, every part logged to one call log, and whole runs of the uninstaller on
// it: either a plain installation in C:\App\ laid out by a test, or a rich one that has every
// kind of thing an uninstall.dat can name, a junction in it that leads out, and files outside that
// nothing of the installation names (for the sweeps and the whole-run fuzzer).
#ifndef UNINSTALL_TESTS_FAKES_FAKE_WORLD_H_
#define UNINSTALL_TESTS_FAKES_FAKE_WORLD_H_

#include <cstddef>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "driver/uninstall_sequence.h"
#include "external/system_launcher.h"
#include "fakes/call_log.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_processes.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_script_engine.h"
#include "fakes/fake_security.h"
#include "fakes/fake_window_toolkit.h"

namespace uninstall {

// An uninstall.dat for the world's installation: every group and kind of task, a logon, both
// programs and a script; [Files] and [Dirs] also name the way through the junction.
extern const char kRichDescription[];

class FakeWorld {
 public:
  // Nothing laid out.
  FakeWorld() = default;
  // The rich installation with `description` as its uninstall.dat.
  explicit FakeWorld(std::string_view description);

  // Lays out C:\App\ with Uninstall.exe (running), App.exe and an uninstall.dat of `description`.
  void Install(const std::string& description);

  // A whole run with `parameters` after the program's quoted path, on an empty log; the exit code.
  int Run(const std::string& parameters = "");

  // A whole run of the rich installation: quiet, or through the window with OK and Ready
  // ("delete all" ticked with `delete_all`), a logon dialog answered with an administrator's name
  // and password when it opens. Returns the exit code. Runs again on what an earlier run left,
  // with a window of its own.
  int RunAnswered(bool window, bool delete_all = true);

  // What the world holds, in small letters: every path as the file system's AllPaths gives it,
  // every key and value as the registry's Dump gives it.
  std::set<std::string> Holdings() const;
  // What the lines of a plan of this world remove (see PlanUninstallation), in the form of
  // Holdings, a removed key with its values. The self-removal at the end is left out: the fake
  // never runs the batch.
  static std::set<std::string> PlannedRemovals(const std::vector<std::string>& plan,
                                               const std::set<std::string>& before);

  std::vector<std::string> Calls(const std::string& prefix) const { return log.Matching(prefix); }
  std::size_t Position(const std::string& prefix) const { return log.Position(prefix); }

  // What the run did wrong, or "": a file outside the installation deleted though `description`
  // does not name it from its outside folder on, a deletion tried outside the installation's
  // own paths (only when `strict`: a description may name any path), a handle left open.
  std::string Problems(std::string_view description, bool strict) const;

  CallLog log;
  FakeFileSystem fs{&log};
  FakeProcesses processes{&log};
  FakeRegistry registry{&log};
  FakeSecurity security{&log};
  SystemLauncher launcher{processes, fs, security};
  FakeScriptEngine script_engine{&log};
  FakeWindowToolkit windows{&log};
  std::unique_ptr<UninstallSequence> sequence;  // the last run's
};

inline constexpr char kBasicDescription[] =
    "[Settings]\r\nProgName=MyApp\r\nProgExe=App.exe\r\n"
    "[Files]\r\nF1=App.exe\r\nF2=Uninstall.exe\r\n";

}  // namespace uninstall

#endif  // UNINSTALL_TESTS_FAKES_FAKE_WORLD_H_
