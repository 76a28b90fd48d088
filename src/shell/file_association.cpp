#include "shell/file_association.h"

#include <cstdint>
#include <span>

#include "shell/registry_deletion.h"

namespace uninstall {
namespace {

// The argument that sits between a step's prefix and suffix.
enum class Slot { kExtension, kName };

// One deletion: a value when `value` is set ("" for the default value), else the key. The key
// path is `prefix`, then the argument in `slot`, then `suffix`.
struct Step {
  std::uint32_t root;
  const char* prefix;
  Slot slot;
  const char* suffix;
  const char* value;  // nullptr: delete the key
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
    {kClassesRoot, ".", Slot::kExtension, "", ""},
    {kClassesRoot, ".", Slot::kExtension, "", nullptr},
    {kCurrentUser, kFileExts, Slot::kExtension, "", "Application"},
    {kCurrentUser, kFileExts, Slot::kExtension, "", nullptr},
};

constexpr Step kClassesLayout[] = {
    {kLocalMachine, "Software\\Classes\\.", Slot::kExtension, "", ""},
    {kLocalMachine, "Software\\Classes\\.", Slot::kExtension, "", nullptr},
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

void RunSteps(Registry& registry, std::span<const Step> steps, const std::string& extension,
              const std::string& name) {
  for (const Step& step : steps) {
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
  if ((registry.VersionWord() & kApplicationsLayoutBits) != 0) {
    RunSteps(registry, kApplicationsLayout, extension, registration_name);
  } else {
    RunSteps(registry, kClassesLayout, extension, registration_name);
  }
}

}  // namespace uninstall
