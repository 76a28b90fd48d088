// The uninstall script through the real Script Control: the ScriptHost reads each script file
// with the real file API and hands it to Win32ScriptEngine; the script writes the constants it
// received into a file through Scripting.FileSystemObject.
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include "external/script_host.h"
#include "gtest/gtest.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_script_engine.h"

namespace uninstall {
namespace {

TEST(ScriptEngineTest, VbScriptAndJScriptReceiveTheConstantsExactly) {
  const std::pair<const char*, const char*> scripts[] = {
      {"C:\\script_test.vbs",
       "Set fso = CreateObject(\"Scripting.FileSystemObject\")\n"
       "Set out = fso.CreateTextFile(\"C:\\script_test.txt\", True)\n"
       "out.Write mwProgDir & \"|\" & mwStartMenuDir & \"|\" & mwGUID\n"
       "out.Close"},
      {"C:\\script_test.JS",
       "var fso = new ActiveXObject(\"Scripting.FileSystemObject\");\r\n"
       "var out = fso.CreateTextFile(\"C:\\\\script_test.txt\", true);\r\n"
       "out.Write(mwProgDir + \"|\" + mwStartMenuDir + \"|\" + mwGUID);\r\n"
       "out.Close();\r\n"},
  };
  // Backslashes, a final backslash and quotes: each must arrive as it is.
  const ScriptConstants values{"C:\\Program Files\\Sample\\", "C:\\Start \"Menu\"\\",
                               "{8E0F7A12-5B3F-4B3A-9C2E-0123456789AB}"};
  for (const auto& [path, script] : scripts) {
    DeleteFileA("C:\\script_test.txt");
    std::ofstream(path, std::ios::binary) << script;
    Win32FileSystem fs;
    Win32ScriptEngine engine;
    ScriptHost host(engine, fs);
    host.CreateEngine();
    EXPECT_TRUE(host.RunUninstallScript(path, values)) << path;
    EXPECT_TRUE(DeleteFileA(path)) << path << " is still open";
    host.ReleaseEngine();
    std::stringstream written;
    written << std::ifstream("C:\\script_test.txt", std::ios::binary).rdbuf();
    EXPECT_EQ(written.str(), values.uninstaller_dir + "|" + values.start_menu + "|" + values.guid)
        << path;
  }
  DeleteFileA("C:\\script_test.txt");
}

}  // namespace
}  // namespace uninstall
