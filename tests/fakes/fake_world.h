// A whole fake platform with an installation in C:\App\ that has every kind of thing an
// uninstall.dat can name, a junction in it that leads out, and files outside that nothing of
// the installation names: for the fault-injection sweep and the whole-run fuzzer.
#ifndef UNINSTALL_TESTS_FAKES_FAKE_WORLD_H_
#define UNINSTALL_TESTS_FAKES_FAKE_WORLD_H_

#include <string>
#include <string_view>

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
  // The installation with `description` as its uninstall.dat; a logon dialog, when one opens,
  // is answered with an administrator's name and password.
  explicit FakeWorld(std::string_view description = kRichDescription);

  // A whole run: quiet, or through the window with OK and Ready ("delete all" ticked with
  // `delete_all`), a logon answered when the dialog opens. Returns the exit code. Runs again on
  // what an earlier run left, with a window of their own.
  int Run(bool window, bool delete_all = true);

  // What the run did wrong, or "": a file outside the installation deleted though `description`
  // does not name it from its outside folder on, a deletion tried outside the installation's
  // own paths (only when `strict`: a description may name any path), a handle left open.
  std::string Problems(std::string_view description, bool strict) const;

  CallLog log;
  FakeFileSystem fs{&log};
  FakeProcesses processes{&log};
  FakeRegistry registry{&log};
  FakeSecurity security{&log};
  FakeScriptEngine script_engine{&log};
  FakeWindowToolkit windows{&log};
};

}  // namespace uninstall

#endif  // UNINSTALL_TESTS_FAKES_FAKE_WORLD_H_
