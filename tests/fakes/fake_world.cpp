#include "fakes/fake_world.h"

#include <algorithm>

#include "ui/control_ids.h"

namespace uninstall {
namespace {

// Outside the installation, each with the part of its path a description must name for the
// file to go (the junction C:\App\Linked leads to C:\Outside\, so this part is never named
// through it).
struct Outside {
  const char* path;
  const char* named_as;
};
constexpr Outside kOutside[] = {{"C:\\Outside\\sentinel-a.txt", "outside\\sentinel-a"},
                                {"C:\\Outside\\Tree\\sentinel-b.txt", "outside\\tree\\sentinel-b"},
                                {"D:\\sentinel-c.txt", "sentinel-c"}};
// What the rich installation's run may delete: its own paths.
constexpr const char* kOwnPaths[] = {
    "C:\\App\\", "C:\\Data\\", "C:\\M\\", "C:\\D\\App.", "C:\\Public\\extra.txt", "C:\\~~uninst-"};

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c == '/') c = '\\';
  }
  return lower;
}

}  // namespace

const char kRichDescription[] =
    "[Settings]\r\nProgName=App\r\nVersion=1\r\nProgExe=App.exe\r\nDataDir=C:\\Data\r\n"
    "StartMenu=C:\\M\\\r\nDesktopIcon=C:\\D\\App.lnk\r\nGUID=App\r\nScript=1\r\nLoginAdmin=1\r\n"
    "[StartProg]\r\nBeforeUninst=before.exe\r\nAfterUninst=after.exe\r\nAfterParam=-a\r\n"
    "[Files]\r\n1=App.exe\r\n2=Help\\Manual.chm\r\n3=Help\\Images\\pic.png\r\n"
    "4=Linked\\sentinel-a.txt\r\n5=Uninstall.exe\r\n"
    "[Dirs]\r\n1=Help\\Images\\\r\n2=Help\\\r\n3=Linked\\\r\n4=Plugins\\\r\n5=Linked\\Tree\\\r\n"
    "[Data]\r\n1=settings.ini\r\n2=Cache\\c.tmp\r\n[DataDirs]\r\n1=Cache\\\r\n2=Templates\\\r\n"
    "[StartMenu]\r\nProgram=C:\\M\\App.lnk\r\nHelp=C:\\M\\Help.lnk\r\n"
    "[UserTask]\r\nNumber=4\r\nTask1=6|2147483649|Software\\AppTask|Path\r\n"
    "Task2=9||C:\\App\\Plugins\\x.dll\r\nTask3=10|app|App.exe\r\nTask4=1|C:\\Public\\extra.txt\r\n";

FakeWorld::FakeWorld(std::string_view description) {
  for (const char* file : {"App.exe", "Help\\Manual.chm", "Help\\Images\\pic.png", "Plugins\\x.dll",
                           "before.exe", "after.exe", "Uninstall.vbs", "user.txt"}) {
    fs.AddFile(std::string("C:\\App\\") + file, "x");
  }
  fs.AddFile("C:\\App\\uninstall.dat", std::string(description));
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
  for (const Outside& outside : kOutside) fs.AddFile(outside.path, "mine");
  fs.AddLink("C:\\App\\Linked", "C:\\Outside");
  processes.AddProgram("C:\\App\\before.exe", 0);
  processes.AddProgram("C:\\App\\after.exe", 0);
  processes.AddProgram("C:\\Windows\\system32\\regsvr32.exe", 0);
  registry.SetValue(kLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\App",
                    "DisplayName");
  registry.SetValue(kCurrentUser, "SOFTWARE\\Marrowind\\App", "InstallDir");
  registry.SetValue(kCurrentUser, "Software\\AppTask", "Path");
  registry.SetValue(kClassesRoot, ".app", "");
  security.has_rights = false;
}

void FakeWorld::Install(const std::string& description) {
  fs.AddFile("C:\\App\\Uninstall.exe", "MZ");
  fs.HoldOpen("C:\\App\\Uninstall.exe");  // the running uninstaller
  fs.AddFile("C:\\App\\App.exe", "MZ");
  fs.AddFile("C:\\App\\uninstall.dat", description);
}

int FakeWorld::Run(const std::string& parameters) {
  processes.command_line = "\"C:\\App\\Uninstall.exe\"" + parameters;
  log.Clear();
  sequence = std::make_unique<UninstallSequence>(
      PlatformParts{fs, processes, launcher, registry, security, script_engine, windows});
  return sequence->Run();
}

int FakeWorld::RunAnswered(bool window, bool delete_all) {
  processes.command_line = window ? "\"C:\\App\\Uninstall.exe\"" : "\"C:\\App\\Uninstall.exe\" /Q";
  const std::uint32_t tick = windows.tick;  // the clock goes on as the test set it
  windows = FakeWindowToolkit(&log);
  windows.tick = tick;
  processes.environment.clear();  // a new process
  windows.QueueTyping(kUserField, "admin");
  windows.QueueTyping(kPasswordField, "secret");
  windows.QueueClick(kLoginButton, kLogonDialog);
  if (window) {
    if (delete_all) windows.QueueToggle(kDeleteAllCheckBox);
    windows.QueueClick(kOkButton);
    windows.QueueClick(kReadyButton);
  }
  sequence = std::make_unique<UninstallSequence>(
      PlatformParts{fs, processes, launcher, registry, security, script_engine, windows});
  return sequence->Run();
}

std::string FakeWorld::Problems(std::string_view description, bool strict) const {
  std::string problems;
  const std::string named = Lower(description);
  for (const Outside& outside : kOutside) {
    if (!fs.Exists(outside.path) && named.find(outside.named_as) == std::string::npos) {
      problems += std::string(outside.path) + " deleted; ";
    }
  }
  for (const std::string& call : strict ? log.entries() : std::vector<std::string>()) {
    for (const std::string erase : {"EraseFile ", "EraseDirectory ", "DeleteOnClose "}) {
      if (call.rfind(erase, 0) != 0) continue;
      // A directory may be logged without its final backslash.
      const std::string path = call.substr(erase.size()) + "\\";
      if (std::none_of(std::begin(kOwnPaths), std::end(kOwnPaths),
                       [&](const char* own) { return path.rfind(own, 0) == 0; })) {
        problems += "tried " + call + "; ";
      }
    }
  }
  if (fs.OpenHandles() != 0) problems += "file handles left open; ";
  if (registry.open_handles() != 0) problems += "registry handles left open; ";
  if (processes.open_handles() != 0) problems += "process handles left open; ";
  return problems;
}

std::set<std::string> FakeWorld::Holdings() const {
  std::set<std::string> all;
  for (const std::string& path : fs.AllPaths()) all.insert(Lower(path));
  for (const std::string& entry : registry.Dump()) all.insert(Lower(entry));
  return all;
}

std::set<std::string> FakeWorld::PlannedRemovals(const std::vector<std::string>& plan,
                                                 const std::set<std::string>& before) {
  // Keys as the fake registry names its roots.
  auto key = [](std::string text) {
    for (const auto& [name, number] :
         {std::pair{"hkcr", "80000000"}, {"hkcu", "80000001"}, {"hklm", "80000002"}}) {
      if (text.rfind(name, 0) == 0) return number + text.substr(4);
    }
    return text;
  };
  std::set<std::string> removed;
  for (const std::string& line : plan) {
    const std::string lower = Lower(line);
    if (lower.rfind("remove file ", 0) == 0) removed.insert(lower.substr(12));
    if (lower.rfind("remove directory ", 0) == 0) removed.insert(lower.substr(17) + "\\");
    if (lower.rfind("remove key ", 0) == 0) {
      const std::string path = key(lower.substr(11));
      removed.insert(path);
      for (const std::string& held : before) {
        if (held.rfind(path + "=", 0) == 0) removed.insert(held);
      }
    }
    if (lower.rfind("remove value ", 0) == 0) {
      const std::string value = key(lower.substr(13));
      const std::string name = value.substr(value.rfind(' ') + 1);
      removed.insert(value.substr(0, value.rfind(' ')) + "=" + (name == "(default)" ? "" : name));
    }
  }
  removed.erase("c:\\app\\uninstall.exe");
  removed.erase("c:\\app\\");
  return removed;
}

}  // namespace uninstall
