#include "external/script_process.h"

#include <vector>

namespace uninstall {
namespace {

// The first thing in the pipe, so that a pipe of any other origin holds no request.
constexpr char kRequestMagic[] = "Uninstall.exe script request 1";
constexpr std::size_t kRequestFields = 6;  // the magic, five values

// Each field ends with a NUL byte, which no value read from uninstall.dat holds.
std::vector<std::string> Fields(const std::string& bytes) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t end = bytes.find('\0'); end != std::string::npos;
       end = bytes.find('\0', start)) {
    fields.push_back(bytes.substr(start, end - start));
    start = end + 1;
  }
  if (start != bytes.size()) fields.clear();  // cut short
  return fields;
}

// A handle number written in decimal, and nothing else.
std::optional<std::uint64_t> PipeNumber(const std::string& text) {
  if (text.empty() || text.size() > 19 ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  return std::stoull(text);
}

}  // namespace

std::string EncodedScriptRequest(const ScriptRequest& request) {
  std::string bytes;
  for (const std::string* field : {&request.script, &request.constants.uninstaller_dir,
                                   &request.constants.start_menu, &request.constants.guid}) {
    bytes += *field;
    bytes += '\0';
  }
  return std::string(kRequestMagic) + '\0' + bytes + (request.allow_ui ? "1" : "0") + '\0';
}

std::optional<ScriptRequest> DecodedScriptRequest(const std::string& bytes) {
  const std::vector<std::string> fields = Fields(bytes);
  if (fields.size() != kRequestFields || fields[0] != kRequestMagic || fields[1].empty() ||
      (fields[5] != "0" && fields[5] != "1")) {
    return std::nullopt;
  }
  return ScriptRequest{fields[1], ScriptConstants{fields[2], fields[3], fields[4]},
                       fields[5] == "1"};
}

void RunScriptInOwnProcess(ProgramLauncher& launcher, const std::string& own_path,
                           const ScriptRequest& request, const ProgramLauncher::TimeUp& time_up) {
  if (own_path.empty()) return;
  NoProgress progress;
  launcher.RunScript(own_path, request, progress, kScriptProcessMilliseconds, time_up);
}

bool RunScriptIfAsked(const std::string& first_parameter, const std::string& second_parameter,
                      Processes& processes, ScriptHost& host) {
  if (first_parameter != kScriptSwitch) return false;
  const std::optional<std::uint64_t> pipe = PipeNumber(second_parameter);
  if (!pipe) return false;
  std::string bytes;
  if (!processes.ReadHandedPipe(*pipe, kScriptRequestLimit, &bytes)) return false;
  const std::optional<ScriptRequest> request = DecodedScriptRequest(bytes);
  if (!request) return false;
  host.CreateEngine(request->allow_ui);
  host.RunUninstallScript(request->script, request->constants);
  host.ReleaseEngine();
  return true;
}

}  // namespace uninstall
