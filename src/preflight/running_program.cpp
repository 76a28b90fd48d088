#include "preflight/running_program.h"

#include "platform/scoped_handle.h"
namespace uninstall {
namespace {

// Byte-wise, without a locale: a-z and every byte from 0xE0 to 0xFF lose 0x20.
std::string UpperCased(std::string text) {
  for (char& c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 0x61 && byte <= 0x7A) || byte >= 0xE0) c = static_cast<char>(byte - 0x20);
  }
  return text;
}

// Some systems report a full path, sometimes quoted: the part after the last separator, or
// after one leading quote when there is no separator, up to the first quote.
std::string FilePart(const std::string& name) {
  std::size_t start = name.find_last_of("\\/");
  if (start != std::string::npos) {
    ++start;
  } else {
    start = !name.empty() && name[0] == '"' ? 1 : 0;
  }
  const std::size_t end = name.find('"', start);
  return name.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace

bool IsProgramRunning(Processes& processes, const std::string& wanted_name) {
  const ScopedProcessList list(processes, processes.OpenProcessList());
  if (!list.valid()) return false;
  const std::string wanted = UpperCased(wanted_name);
  bool found = false;
  std::string name;
  while (processes.NextProcessName(list.get(), &name)) {
    if (FilePart(UpperCased(name)) == wanted) found = true;
  }
  return found;
}

}  // namespace uninstall
