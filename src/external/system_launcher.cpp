#include "external/system_launcher.h"

#include <optional>

#include "common/paths.h"
#include "external/script_process.h"
#include "files/self_removal_batch.h"
#include "platform/scoped_handle.h"

namespace uninstall {
namespace {

std::optional<std::string> Given(const std::string& directory) {
  if (directory.empty()) return std::nullopt;
  return directory;
}

}  // namespace

std::string ProgramCommandLine(const std::string& file, const std::string& parameters) {
  std::string line = !file.empty() && file.front() == '"' ? file : "\"" + file + "\"";
  if (!parameters.empty()) line += " " + parameters;
  return line;
}

std::string ShellWorkingDirectory(const std::string& file) {
  std::string directory = DirectoryPart(file, "\\");
  return directory.size() > 1 ? directory : "";
}

std::string UnregistrationParameters(const std::string& dll) {
  if (!dll.empty() && dll.front() == '"') return "/S /U " + dll;
  return "/S /U \"" + dll + "\"";
}

std::string DllDirectory(const std::string& dll) {
  return DirectoryPart(!dll.empty() && dll.front() == '"' ? dll.substr(1) : dll);
}

ProcessHandle SystemLauncher::StartProgram(const std::string& file, const std::string& parameters,
                                           const std::string& working_directory) {
  CreatedProcess created;
  if (processes_.CreateProcessFromCommandLine(ProgramCommandLine(file, parameters),
                                              Given(working_directory), kShowNormal, &created)) {
    processes_.CloseProcessHandle(created.thread);
    return created.process;
  }
  // Not a program (a document, say): the shell opens it with its associated program.
  const std::string directory =
      working_directory.empty() ? ShellWorkingDirectory(file) : working_directory;
  ProcessHandle process = {};
  if (!processes_.ShellExecuteWithHandle("Open", file, parameters, Given(directory), kShowNormal,
                                         &process)) {
    return {};
  }
  return process;
}

ProcessHandle SystemLauncher::StartUnregistration(const std::string& tool, const std::string& dll) {
  return StartProgram(tool, UnregistrationParameters(dll), DllDirectory(dll));
}

ProcessHandle SystemLauncher::StartScript(const std::string& own_path,
                                          const ScriptRequest& request) {
  const std::string bytes = EncodedScriptRequest(request);
  if (bytes.size() > kScriptRequestLimit) return {};
  PipeHandle created_read;
  PipeHandle created_write;
  if (!processes_.CreatePipePair(static_cast<std::uint32_t>(bytes.size()), &created_read,
                                 &created_write)) {
    return {};
  }
  const ScopedPipe read_end(processes_, created_read);
  ScopedPipe write_end(processes_, created_write);
  // All of it is in the pipe, and the write end closed, before the instance starts: it reads to
  // the end without waiting for this one, which waits for it.
  const bool written = processes_.WritePipe(write_end.get(), bytes);
  write_end.Close();
  CreatedProcess created;
  if (!written || !processes_.CreateProcessHanding(
                      ProgramCommandLine(own_path, std::string(kScriptSwitch) + " " +
                                                       std::to_string(read_end.get().value())),
                      std::nullopt, kShowNormal, read_end.get(), &created)) {
    return {};
  }
  processes_.CloseProcessHandle(created.thread);
  return created.process;
}

void SystemLauncher::StartSelfRemoval(const std::string& exe, const std::string& directory) {
  WriteSelfRemovalBatch(fs_, processes_, security_, exe, directory);
}

}  // namespace uninstall
