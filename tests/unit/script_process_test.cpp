#include "external/script_process.h"

#include <gtest/gtest.h>

#include <string>

namespace uninstall {
namespace {

// Only bytes that are exactly a request of the first instance's make one: the second instance
// reads whatever its pipe holds.
TEST(ScriptRequestTest, OnlyAWholeRequestReadsBack) {
  const ScriptRequest sent{"C:\\App\\Uninstall.js", ScriptConstants{"C:\\App\\", "C:\\Menu", "{G}"},
                           true};
  const std::string bytes = EncodedScriptRequest(sent);
  const std::optional<ScriptRequest> read = DecodedScriptRequest(bytes);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->script, sent.script);
  EXPECT_EQ(read->constants.uninstaller_dir, sent.constants.uninstaller_dir);
  EXPECT_EQ(read->constants.start_menu, sent.constants.start_menu);
  EXPECT_EQ(read->constants.guid, sent.constants.guid);
  EXPECT_TRUE(read->allow_ui);
  EXPECT_FALSE(
      DecodedScriptRequest(EncodedScriptRequest(ScriptRequest{"x.vbs", {}, false}))->allow_ui);

  const std::string magic = bytes.substr(0, bytes.find('\0') + 1);
  const std::string nul(1, '\0');
  for (const std::string& other : {
           std::string(), bytes.substr(0, bytes.size() - 1),         // cut short
           bytes + "x" + nul,                                        // a field more
           "Other magic" + bytes.substr(bytes.find('\0')),           // not ours
           magic + nul + "C:\\App\\" + nul + nul + nul + "1" + nul,  // no script
           magic + "a.vbs" + nul + nul + nul + nul + "yes" + nul,    // no flag
       }) {
    EXPECT_FALSE(DecodedScriptRequest(other).has_value()) << other;
  }
}

}  // namespace
}  // namespace uninstall
