// Links, the per-user product key, user tasks, the start-menu directory and the after-program.
#ifndef UNINSTALL_SHELL_SHELL_INTEGRATION_H_
#define UNINSTALL_SHELL_SHELL_INTEGRATION_H_

#include <string>

#include "description/preference_reader.h"
#include "description/uninstall_settings.h"
#include "external/program_launcher.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/window_toolkit.h"

namespace uninstall {

struct ShellIntegrationParts {
  FileSystem& fs;
  Registry& registry;
  WindowToolkit& windows;
  PreferenceReader& reader;
  ProgramLauncher& launcher;
  Heartbeat* heartbeat = nullptr;  // beats between the pieces of work, when not null
};

// The first removal step. `interactive` is true when the user confirmed in the main window;
// it gates every status text and the per-user product key. The desktop link's path in
// `settings` is rewritten when it falls back from ".lnk" to ".pif".
void RemoveShellIntegration(const ShellIntegrationParts& parts, bool interactive,
                            UninstallSettings* settings, const std::string& uninstaller_dir,
                            const std::string& description_file_path);

}  // namespace uninstall

#endif  // UNINSTALL_SHELL_SHELL_INTEGRATION_H_
