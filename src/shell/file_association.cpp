#include "shell/file_association.h"

#include <algorithm>
#include <cstdint>
#include <span>

#include "shell/registry_deletion.h"

namespace uninstall {
namespace {

// The argument that sits between a step's prefix and suffix.
enum class Slot { kExtension, kName };

// Steps that go only while what they delete is still this program's: the extension's key, and
// the current user's choice for the extension.
enum class Guard { kNone, kExtension, kUserChoice };

// One deletion: a value when `value` is set ("" for the default value), else the key. The key
// path is `prefix`, then the argument in `slot`, then `suffix`.
struct Step {
  std::uint32_t root;
  const char* prefix;
  Slot slot;
  const char* suffix;
  const char* value;  // nullptr: delete the key
  Guard guard = Guard::kNone;
};

constexpr char kFileExts[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.";

// Each key tree goes from its deepest key up, since a key with subkeys is never deleted; a key
// that a value deletion creates is deleted by the next step.
constexpr Step kApplicationsLayout[] = {
    {kClassesRoot, "Applications\\", Slot::kName, "\\shell\\open\\command", ""},
    {kClassesRoot, "Applications\\", Slot::kName, "\\shell\\open\\command", nullptr},
    {kClassesRoot, "Applications\\", Slot::kName, "\\shell\\open", nullptr},
    {kClassesRoot, "Applications\\", Slot::kName, "\\shell", nullptr},
    {kClassesRoot, "Applications\\", Slot::kName, "", nullptr},
    {kClassesRoot, "", Slot::kExtension, "_auto_file\\DefaultIcon", ""},
    {kClassesRoot, "", Slot::kExtension, "_auto_file\\DefaultIcon", nullptr},
    {kClassesRoot, "", Slot::kExtension, "_auto_file", ""},
    {kClassesRoot, "", Slot::kExtension, "_auto_file", nullptr},
    {kClassesRoot, ".", Slot::kExtension, "", "", Guard::kExtension},
    {kClassesRoot, ".", Slot::kExtension, "", nullptr, Guard::kExtension},
    {kCurrentUser, kFileExts, Slot::kExtension, "", "Application", Guard::kUserChoice},
    {kCurrentUser, kFileExts, Slot::kExtension, "", nullptr, Guard::kUserChoice},
};

constexpr Step kClassesLayout[] = {
    {kLocalMachine, "Software\\Classes\\.", Slot::kExtension, "", "", Guard::kExtension},
    {kLocalMachine, "Software\\Classes\\.", Slot::kExtension, "", nullptr, Guard::kExtension},
    {kLocalMachine, "Software\\Classes\\", Slot::kName, "\\DefaultIcon", ""},
    {kLocalMachine, "Software\\Classes\\", Slot::kName, "\\DefaultIcon", nullptr},
    {kLocalMachine, "Software\\Classes\\", Slot::kName, "\\shell\\open\\command", ""},
    {kLocalMachine, "Software\\Classes\\", Slot::kName, "\\shell\\open\\command", nullptr},
    {kLocalMachine, "Software\\Classes\\", Slot::kName, "\\shell\\open", nullptr},
    {kLocalMachine, "Software\\Classes\\", Slot::kName, "\\shell", nullptr},
    {kLocalMachine, "Software\\Classes\\", Slot::kName, "", ""},
    {kLocalMachine, "Software\\Classes\\", Slot::kName, "", nullptr},
};

// Systems whose version word has any of bits 16 to 23 set register the program under
// Applications; the others register a class under Software\Classes.
constexpr std::uint32_t kApplicationsLayoutBits = 0x00FF0000;

char Lowered(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Registry names compare without regard to the case of ASCII letters.
bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return Lowered(x) == Lowered(y);
         });
}

// True while the value still ties the key to this program: it is missing or empty, or names
// `ours`. Somebody else's choice, or a value that cannot be read, keeps the key.
bool StillOurs(Registry& registry, std::uint32_t root, const std::string& path,
               const std::string& value_name, const std::string& ours) {
  std::string data;
  switch (registry.ReadStringValue(root, path, value_name, &data)) {
    case ValueRead::kMissing:
      return true;
    case ValueRead::kString:
      return data.empty() || SameName(data, ours);
    case ValueRead::kOther:
      break;
  }
  return false;
}

// Which guarded steps may go; read before anything is deleted.
struct Ownership {
  bool extension = true;
  bool user_choice = true;
};

void RunSteps(Registry& registry, std::span<const Step> steps, const std::string& extension,
              const std::string& name, const Ownership& ours) {
  for (const Step& step : steps) {
    if ((step.guard == Guard::kExtension && !ours.extension) ||
        (step.guard == Guard::kUserChoice && !ours.user_choice)) {
      continue;
    }
    std::string path = step.prefix;
    path += step.slot == Slot::kExtension ? extension : name;
    path += step.suffix;
    if (step.value != nullptr) {
      DeleteRegistryValue(registry, step.root, path, step.value);
    } else {
      DeleteRegistryKey(registry, step.root, path);
    }
  }
}

}  // namespace

void RemoveFileAssociation(Registry& registry, const std::string& extension,
                           const std::string& registration_name) {
  if (extension.empty() || registration_name.empty()) return;
  Ownership ours;
  if ((registry.VersionWord() & kApplicationsLayoutBits) != 0) {
    ours.extension =
        StillOurs(registry, kClassesRoot, "." + extension, "", extension + "_auto_file");
    ours.user_choice =
        StillOurs(registry, kCurrentUser, kFileExts + extension, "Application", registration_name);
    RunSteps(registry, kApplicationsLayout, extension, registration_name, ours);
  } else {
    ours.extension = StillOurs(registry, kLocalMachine, "Software\\Classes\\." + extension, "",
                               registration_name);
    RunSteps(registry, kClassesLayout, extension, registration_name, ours);
  }
}

}  // namespace uninstall
