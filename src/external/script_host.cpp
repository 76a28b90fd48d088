#include "external/script_host.h"

#include "files/text_file.h"

namespace uninstall {
namespace {

// The engine's name of the language of a script file's extension; "" for none it runs.
std::string LanguageOf(const std::string& extension) {
  if (extension == "vbs") return "VBScript";
  if (extension == "js") return "JScript";
  return "";
}

}  // namespace

void ScriptHost::CreateEngine(bool allow_ui) {
  created_ = true;
  allow_ui_ = allow_ui;
  has_engine_ = engine_.Create();
  if (!has_engine_) return;
  engine_.Reset();
  engine_.SetAllowUi(allow_ui);
  engine_.SetLanguage("VBScript");
}

bool ScriptHost::RunUninstallScript(const std::string& path, const ScriptConstants& constants) {
  if (!has_engine_) return false;
  std::unique_ptr<TextFile> file = OpenTextFile(fs_, path);
  if (file == nullptr) return false;
  const std::string extension = ScriptExtension(path);
  std::string code = ScriptHeader(extension, constants);
  while (!file->AtEndOfFile()) code += file->ReadLine() + "\r\n";
  // Closed before the script runs, so that the file can be deleted later in the run.
  file->CloseTextFile();

  const std::string language = LanguageOf(extension);
  if (language.empty()) return false;
  engine_.SetLanguage(language);
  engine_.SetTimeout(allow_ui_ ? kNoScriptTimeout : kScriptTimeoutMilliseconds);
  engine_.AddCode(code);
  return true;
}

void ScriptHost::ReleaseEngine() {
  if (!created_) return;
  created_ = false;
  has_engine_ = false;
  // Also when the creation failed: the platform's initialisation for the thread is undone here.
  engine_.Release();
}

}  // namespace uninstall
