#include "external/script_host.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/fake_file_system.h"
#include "fakes/fake_script_engine.h"

namespace uninstall {
namespace {

using ::testing::ElementsAre;

class ScriptHostTest : public ::testing::Test {
 protected:
  ScriptHostTest() : fs(&log), engine(&log), host(engine, fs) {}

  const ScriptConstants values{"C:\\App\\", "", ""};
  CallLog log;
  FakeFileSystem fs;
  FakeScriptEngine engine;
  ScriptHost host;
};

TEST_F(ScriptHostTest, EngineIsSetUpThenGivenLanguageTimeoutAndCode) {
  fs.AddFile("C:\\App\\Uninstall.js", "x = 1;");
  host.CreateEngine();
  EXPECT_TRUE(host.RunUninstallScript("C:\\App\\Uninstall.js", values));
  host.ReleaseEngine();
  host.ReleaseEngine();
  EXPECT_THAT(log.Matching("ScriptEngine"),
              ElementsAre("ScriptEngine.Create", "ScriptEngine.Reset", "ScriptEngine.AllowUI 1",
                          "ScriptEngine.Language VBScript", "ScriptEngine.Language JScript",
                          "ScriptEngine.Timeout -1",
                          "ScriptEngine.AddCode " + ScriptHeader("js", values) + "x = 1;\r\n",
                          "ScriptEngine.Release"));
  // Where nobody answers a question (quiet mode), the engine stops the script itself.
  log.Clear();
  host.CreateEngine(false);
  host.RunUninstallScript("C:\\App\\Uninstall.js", values);
  EXPECT_THAT(log.Matching("ScriptEngine.Timeout"), ElementsAre("ScriptEngine.Timeout 20000"));
  host.ReleaseEngine();
  // Closed before the script runs, so that the script may delete it.
  log.Clear();
  host.CreateEngine();
  host.RunUninstallScript("C:\\App\\Uninstall.js", values);
  host.ReleaseEngine();
  const std::vector<std::string>& entries = log.entries();
  EXPECT_LT(std::find_if(entries.begin(), entries.end(),
                         [](const std::string& e) { return e.rfind("CloseFile", 0) == 0; }),
            std::find(entries.begin(), entries.end(), "ScriptEngine.Language JScript"));
}

TEST_F(ScriptHostTest, EveryLineReachesTheEngineEndingWithCrLf) {
  const std::pair<const char*, const char*> rows[] = {
      {"", ""},
      {"a\nb", "a\r\nb\r\n"},
      {"a\rb\r", "a\r\nb\r\n"},
      {"a\r\n\r\nb\r\n", "a\r\n\r\nb\r\n"},
  };
  host.CreateEngine();
  for (const auto& [contents, lines] : rows) {
    fs.AddFile("C:\\App\\Uninstall.vbs", contents);
    log.Clear();
    EXPECT_TRUE(host.RunUninstallScript("C:\\App\\Uninstall.vbs", values));
    EXPECT_THAT(log.Matching("ScriptEngine.AddCode"),
                ElementsAre("ScriptEngine.AddCode Const mwProgDir = \"C:\\App\\\"\r\n"
                            "Const mwStartMenuDir = \"\"\r\nConst mwGUID = \"\"\r\n" +
                            std::string(lines)))
        << contents;
  }
}

TEST_F(ScriptHostTest, NothingRunsWithoutEngineFileOrKnownExtension) {
  fs.AddFile("C:\\a.b\\script", "x = 1");
  fs.AddFile("C:\\App\\Uninstall.vbs", "x = 1");
  host.CreateEngine();
  EXPECT_FALSE(host.RunUninstallScript("C:\\App\\Missing.vbs", values));
  // Read and closed, but not run.
  EXPECT_FALSE(host.RunUninstallScript("C:\\a.b\\script", values));
  EXPECT_EQ(log.Matching("OpenFile").size(), 2u);
  EXPECT_EQ(fs.OpenHandles(), 0);
  EXPECT_THAT(log.Matching("ScriptEngine.Language"), ElementsAre("ScriptEngine.Language VBScript"));

  // An engine that could not be created reads nothing, but is released for the thread's sake.
  host.ReleaseEngine();
  engine.can_create = false;
  log.Clear();
  host.CreateEngine();
  EXPECT_FALSE(host.RunUninstallScript("C:\\App\\Uninstall.vbs", values));
  host.ReleaseEngine();
  EXPECT_THAT(log.entries(), ElementsAre("ScriptEngine.Create", "ScriptEngine.Release"));
}

}  // namespace
}  // namespace uninstall
