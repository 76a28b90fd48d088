// Every platform call of a whole run, made to fail one at a time: whatever fails, the run ends
// with exit code 0, leaves no handle open, and deletes nothing but the installation's own paths.
#include <gtest/gtest.h>

#include <memory>
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
namespace {

// Every group and every kind of task, a logon, both programs and a script, a junction in the
// program directory that leads out of it, and files outside that nothing names.
constexpr char kRichDescription[] =
    "[Settings]\r\nProgName=App\r\nVersion=1\r\nProgExe=App.exe\r\nDataDir=C:\\Data\r\n"
    "StartMenu=C:\\M\\\r\nDesktopIcon=C:\\D\\App.lnk\r\nGUID=App\r\nScript=1\r\nLoginAdmin=1\r\n"
    "[StartProg]\r\nBeforeUninst=before.exe\r\nAfterUninst=after.exe\r\nAfterParam=-a\r\n"
    "[Files]\r\n1=App.exe\r\n2=Help\\Manual.chm\r\n3=Help\\Images\\pic.png\r\n"
    "4=Linked\\keep.txt\r\n5=Uninstall.exe\r\n"
    "[Dirs]\r\n1=Help\\Images\\\r\n2=Help\\\r\n3=Linked\\\r\n4=Plugins\\\r\n"
    "[Data]\r\n1=settings.ini\r\n2=Cache\\c.tmp\r\n[DataDirs]\r\n1=Cache\\\r\n2=Templates\\\r\n"
    "[StartMenu]\r\nProgram=C:\\M\\App.lnk\r\nHelp=C:\\M\\Help.lnk\r\n"
    "[UserTask]\r\nNumber=4\r\nTask1=6|2147483649|Software\\AppTask|Path\r\n"
    "Task2=9||C:\\App\\Plugins\\x.dll\r\nTask3=10|app|App.exe\r\nTask4=1|C:\\Public\\extra.txt\r\n";

const char* const kOutside[] = {"C:\\Outside\\keep.txt", "C:\\Outside\\Tree\\deep.txt",
                                "D:\\Other\\keep.txt"};
// What the run may delete: the installation's own paths.
const char* const kOwnPaths[] = {"C:\\App\\", "C:\\Data\\", "C:\\M\\", "C:\\D\\App.",
                                 "C:\\Public\\extra.txt", "C:\\~~uninst.bat"};

// One installation and its platform, fresh for each run.
struct World {
  World() {
    for (const char* file : {"App.exe", "uninstall.dat", "Help\\Manual.chm", "Help\\Images\\pic.png",
                             "Plugins\\x.dll", "before.exe", "after.exe", "Uninstall.vbs",
                             "user.txt"}) {
      fs.AddFile(std::string("C:\\App\\") + file, "x");
    }
    fs.AddFile("C:\\App\\uninstall.dat", kRichDescription);
    fs.AddFile("C:\\App\\Uninstall.exe", "MZ");
    fs.HoldOpen("C:\\App\\Uninstall.exe");
    fs.AddFile("C:\\Data\\settings.ini");
    fs.AddFile("C:\\Data\\Cache\\c.tmp");
    fs.AddDirectory("C:\\Data\\Templates");
    fs.AddFile("C:\\M\\App.lnk");
    fs.AddFile("C:\\M\\Help.pif");
    fs.AddFile("C:\\D\\App.lnk");
    fs.AddFile("C:\\Public\\extra.txt");
    fs.AddDrive('D');
    for (const char* file : kOutside) fs.AddFile(file, "mine");
    fs.AddLink("C:\\App\\Linked", "C:\\Outside");
    processes.AddProgram("C:\\App\\before.exe", 0);
    processes.AddProgram("C:\\App\\after.exe", 0);
    processes.AddProgram("regsvr32.exe", 0);
    registry.SetValue(kLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\App",
                      "DisplayName");
    registry.SetValue(kCurrentUser, "SOFTWARE\\Marrowind\\App", "InstallDir");
    registry.SetValue(kCurrentUser, "Software\\AppTask", "Path");
    registry.SetValue(kClassesRoot, ".app", "");
    security.has_rights = false;
    windows.QueueTyping(kUserField, "admin");
    windows.QueueTyping(kPasswordField, "secret");
    windows.QueueClick(kLoginButton, kLogonDialog);
  }

  int Run(bool window) {
    processes.command_line = window ? "\"C:\\App\\Uninstall.exe\"" : "\"C:\\App\\Uninstall.exe\" /Q";
    if (window) {
      windows.QueueToggle(kDeleteAllCheckBox);
      windows.QueueClick(kOkButton);
      windows.QueueClick(kReadyButton);
    }
    UninstallSequence sequence(
        PlatformParts{fs, processes, registry, security, script_engine, windows});
    return sequence.Run();
  }

  // What went wrong, or "".
  std::string Problems() const {
    std::string problems;
    for (const char* file : kOutside) {
      if (!fs.Exists(file)) problems += std::string(file) + " deleted; ";
    }
    for (const std::string& call : log.entries()) {
      for (const char* erase : {"EraseFile ", "EraseDirectory "}) {
        if (call.rfind(erase, 0) != 0) continue;
        const std::string path = call.substr(std::string(erase).size());
        bool own = false;
        for (const char* prefix : kOwnPaths) own = own || path.rfind(prefix, 0) == 0;
        if (!own) problems += "tried " + call + "; ";
      }
    }
    if (fs.OpenHandles() != 0) problems += "file handles left open; ";
    if (registry.open_handles() != 0) problems += "registry handles left open; ";
    if (processes.open_handles() != 0) problems += "process handles left open; ";
    return problems;
  }

  CallLog log;
  FakeFileSystem fs{&log};
  FakeProcesses processes{&log};
  FakeRegistry registry{&log};
  FakeSecurity security{&log};
  FakeScriptEngine script_engine{&log};
  FakeWindowToolkit windows{&log};
};

TEST(FaultInjectionTest, AnyFailingCallEndsTheRunSoundly) {
  for (bool window : {false, true}) {
    SCOPED_TRACE(window ? "window" : "quiet");
    std::int64_t calls = 0;
    {
      World world;
      ASSERT_EQ(world.Run(window), 0);
      ASSERT_EQ(world.Problems(), "");
      ASSERT_FALSE(world.fs.Exists("C:\\App\\App.exe"));  // a run that removes what it should
      calls = world.log.calls();
    }
    ASSERT_GT(calls, 200);
    for (std::int64_t call = 1; call <= calls; ++call) {
      World world;
      world.log.FailCall(call);
      const int code = world.Run(window);
      const std::string failed =
          call <= static_cast<std::int64_t>(world.log.entries().size())
              ? world.log.entries()[call - 1]
              : "?";
      EXPECT_EQ(code, 0) << "call " << call << ": " << failed;
      EXPECT_EQ(world.Problems(), "") << "call " << call << ": " << failed;
    }
  }
}

}  // namespace
}  // namespace uninstall
