#include "driver/command_line.h"

#include <cstddef>

namespace uninstall {
namespace {

// Reads the parameter that starts at or after `pos`; leaves `pos` after it.
std::string NextParameter(const std::string& line, std::size_t* pos) {
  std::size_t i = *pos;
  while (i < line.size() && line[i] == ' ') ++i;
  std::string parameter;
  if (i < line.size() && line[i] == '"') {
    std::size_t close = line.find('"', i + 1);
    if (close == std::string::npos) close = line.size();
    parameter = line.substr(i + 1, close - i - 1);
    i = close < line.size() ? close + 1 : close;
  } else {
    std::size_t end = line.find(' ', i);
    if (end == std::string::npos) end = line.size();
    parameter = line.substr(i, end - i);
    i = end;
  }
  *pos = i;
  return parameter;
}

}  // namespace

std::string FirstParameter(const std::string& command_line) {
  std::size_t pos = 0;
  NextParameter(command_line, &pos);  // the program's own name
  return NextParameter(command_line, &pos);
}

std::string SecondParameter(const std::string& command_line) {
  std::size_t pos = 0;
  NextParameter(command_line, &pos);  // the program's own name
  NextParameter(command_line, &pos);
  return NextParameter(command_line, &pos);
}

bool IsQuietMode(const std::string& first_parameter) {
  return first_parameter.compare(0, 2, "/Q") == 0;
}

}  // namespace uninstall
