#include "external/script_header.h"

#include <gtest/gtest.h>

#include <utility>

namespace uninstall {
namespace {

TEST(ScriptHeaderTest, ValuesBecomeStringLiteralsOfEachLanguage) {
  const ScriptConstants values{"C:\\App\\", "C:\\Menu \"Q\"\\", "{G}"};
  EXPECT_EQ(ScriptHeader("vbs", values),
            "Const mwProgDir = \"C:\\App\\\"\r\n"
            "Const mwStartMenuDir = \"C:\\Menu \"\"Q\"\"\\\"\r\n"
            "Const mwGUID = \"{G}\"\r\n");
  EXPECT_EQ(ScriptHeader("js", values),
            "var mwProgDir  = \"C:\\\\App\\\\\";\r\n"
            "var mwStartMenuDir = \"C:\\\\Menu \\\"Q\\\"\\\\\";\r\n"
            "var mwGUID = \"{G}\";\r\n");
  EXPECT_EQ(
      ScriptHeader("js", {"", "a\r\nb", ""}),
      "var mwProgDir  = \"\";\r\nvar mwStartMenuDir = \"a\\r\\nb\";\r\nvar mwGUID = \"\";\r\n");
  EXPECT_EQ(ScriptHeader("bat", values), "");
}

TEST(ScriptHeaderTest, ExtensionIsTheLowerCasedTextAfterTheFileNamesLastDot) {
  const std::pair<const char*, const char*> rows[] = {
      {"C:\\App\\Uninstall.vbs", "vbs"},
      {"C:\\App\\Uninstall.VBS", "vbs"},
      {"C:\\App\\Uninstall.Js", "js"},
      {"C:\\a.b\\x.tar.js", "js"},
      {"C:\\a.b\\script", ""},  // the only dot is in a directory name
      {"C:\\a.b/script", ""},
      {"\"C:\\App\\Uninstall.vbs\" x", "vbs"},  // up to a quote
      {"C:\\App\\Uninstall", ""},
      {"C:\\App\\Uninstall.", ""},
  };
  for (const auto& [path, extension] : rows) EXPECT_EQ(ScriptExtension(path), extension) << path;
}

}  // namespace
}  // namespace uninstall
