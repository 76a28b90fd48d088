// A whole run against the fakes: an installation in C:\App\ and every platform part logged to
// one call log.
#ifndef UNINSTALL_TESTS_UNIT_RUN_FIXTURE_H_
#define UNINSTALL_TESTS_UNIT_RUN_FIXTURE_H_

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "driver/uninstall_sequence.h"
#include "fakes/call_log.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_processes.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_script_engine.h"
#include "fakes/fake_security.h"
#include "fakes/fake_window_toolkit.h"

namespace uninstall {

class RunFixture : public ::testing::Test {
 protected:
  RunFixture()
      : fs(&log),
        processes(&log),
        registry(&log),
        security(&log),
        script_engine(&log),
        windows(&log) {}

  // Lays out C:\App\ with Uninstall.exe, App.exe and an uninstall.dat of `description`.
  void Install(const std::string& description) {
    fs.AddFile("C:\\App\\Uninstall.exe", "MZ");
    fs.HoldOpen("C:\\App\\Uninstall.exe");  // the running uninstaller
    fs.AddFile("C:\\App\\App.exe", "MZ");
    fs.AddFile("C:\\App\\uninstall.dat", description);
  }

  int Run(const std::string& parameters = "") {
    processes.command_line = "\"C:\\App\\Uninstall.exe\"" + parameters;
    log.Clear();
    sequence = std::make_unique<UninstallSequence>(
        PlatformParts{fs, processes, registry, security, script_engine, windows});
    return sequence->Run();
  }

  std::vector<std::string> Calls(const std::string& prefix) const { return log.Matching(prefix); }

  // Where the first call that begins with `prefix` stands in the log; the log's size when none.
  std::size_t Position(const std::string& prefix) const {
    const std::vector<std::string>& entries = log.entries();
    return std::find_if(entries.begin(), entries.end(),
                        [&](const std::string& e) { return e.rfind(prefix, 0) == 0; }) -
           entries.begin();
  }

  CallLog log;
  FakeFileSystem fs;
  FakeProcesses processes;
  FakeRegistry registry;
  FakeSecurity security;
  FakeScriptEngine script_engine;
  FakeWindowToolkit windows;
  std::unique_ptr<UninstallSequence> sequence;
};

inline constexpr char kBasicDescription[] =
    "[Settings]\r\nProgName=MyApp\r\nProgExe=App.exe\r\n"
    "[Files]\r\nF1=App.exe\r\nF2=Uninstall.exe\r\n";

}  // namespace uninstall

#endif  // UNINSTALL_TESTS_UNIT_RUN_FIXTURE_H_
