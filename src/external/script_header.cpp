#include "external/script_header.h"

#include "common/text.h"

namespace uninstall {
namespace {

// VBScript knows no backslash escapes: only the quote needs doubling.
std::string VbScriptLiteral(const std::string& value) { return ReplaceAll(value, "\"", "\"\""); }

// A backslash left alone would escape the next character (the closing quote, after a directory
// path), and a line break would end the string.
std::string JScriptLiteral(const std::string& value) {
  std::string literal;
  for (char c : value) {
    switch (c) {
      case '\\':
        literal += "\\\\";
        break;
      case '"':
        literal += "\\\"";
        break;
      case '\r':
        literal += "\\r";
        break;
      case '\n':
        literal += "\\n";
        break;
      default:
        literal += c;
    }
  }
  return literal;
}

}  // namespace

std::string ScriptExtension(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || path.find_first_of("\\/", dot) != std::string::npos) return "";
  const std::size_t end = path.find('"', dot);
  std::string extension =
      path.substr(dot + 1, end == std::string::npos ? std::string::npos : end - dot - 1);
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return extension;
}

std::string ScriptHeader(const std::string& extension, const ScriptConstants& constants) {
  if (extension == "vbs") {
    return "Const mwProgDir = \"" + VbScriptLiteral(constants.uninstaller_dir) + "\"\r\n" +
           "Const mwStartMenuDir = \"" + VbScriptLiteral(constants.start_menu) + "\"\r\n" +
           "Const mwGUID = \"" + VbScriptLiteral(constants.guid) + "\"\r\n";
  }
  if (extension == "js") {
    // Classic JScript has no const: it is a reserved word there.
    return "var mwProgDir  = \"" + JScriptLiteral(constants.uninstaller_dir) + "\";\r\n" +
           "var mwStartMenuDir = \"" + JScriptLiteral(constants.start_menu) + "\";\r\n" +
           "var mwGUID = \"" + JScriptLiteral(constants.guid) + "\";\r\n";
  }
  return "";
}

}  // namespace uninstall
