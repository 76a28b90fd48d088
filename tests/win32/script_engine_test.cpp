// The uninstall script through the real Script Control: the ScriptHost reads a script file
// with the real file API and hands it to Win32ScriptEngine; each script writes the constants
// it received into a file through Scripting.FileSystemObject.
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "external/script_host.h"
#include "gtest/gtest.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_script_engine.h"

namespace uninstall {
namespace {

class ScriptEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = "C:\\script_test_" + std::to_string(GetCurrentProcessId()) + "\\";
    out_ = dir_ + "out.txt";
    CreateDirectoryA(dir_.c_str(), nullptr);
    DeleteFileA(out_.c_str());
  }

  void TearDown() override {
    DeleteFileA(out_.c_str());
    RemoveDirectoryA(dir_.c_str());
  }

  // Runs `script` as the file `name` and returns what it wrote; the script file must be gone
  // by then, deleted as soon as the host has returned.
  std::string Run(const std::string& name, const std::string& script) {
    const std::string path = dir_ + name;
    std::ofstream(path, std::ios::binary) << script;
    Win32FileSystem fs;
    Win32ScriptEngine engine;
    ScriptHost host(engine, fs);
    host.CreateEngine();
    EXPECT_TRUE(host.RunUninstallScript(path, constants_));
    EXPECT_TRUE(DeleteFileA(path.c_str())) << "the script file is still open";
    host.ReleaseEngine();
    std::ifstream in(out_, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  // Backslashes, a final backslash and quotes: each must arrive as it is.
  const ScriptConstants constants_{"C:\\Program Files\\Sample\\", "C:\\Start \"Menu\"\\",
                                   "{8E0F7A12-5B3F-4B3A-9C2E-0123456789AB}"};
  const std::string expected_ =
      constants_.uninstaller_dir + "|" + constants_.start_menu + "|" + constants_.guid;
  std::string dir_;
  std::string out_;
};

TEST_F(ScriptEngineTest, VbScriptReceivesTheConstants) {
  EXPECT_EQ(Run("Uninstall.vbs",
                "Set fso = CreateObject(\"Scripting.FileSystemObject\")\n"
                "Set out = fso.CreateTextFile(\"" +
                    out_ +
                    "\", True)\n"
                    "out.Write mwProgDir & \"|\" & mwStartMenuDir & \"|\" & mwGUID\n"
                    "out.Close"),
            expected_);
}

TEST_F(ScriptEngineTest, JScriptReceivesTheConstants) {
  std::string out_literal;
  for (char c : out_) out_literal += c == '\\' ? std::string("\\\\") : std::string(1, c);
  EXPECT_EQ(Run("Uninstall.JS",
                "var fso = new ActiveXObject(\"Scripting.FileSystemObject\");\r\n"
                "var out = fso.CreateTextFile(\"" +
                    out_literal +
                    "\", true);\r\n"
                    "out.Write(mwProgDir + \"|\" + mwStartMenuDir + \"|\" + mwGUID);\r\n"
                    "out.Close();\r\n"),
            expected_);
}

}  // namespace
}  // namespace uninstall
