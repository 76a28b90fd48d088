// dll_probe: loads planted_before.dll by bare name, restricts the DLL search as the uninstaller
// does first thing, then tries planted_after.dll (the same DLL under another name) by bare name.
// Both lie beside the probe. Exit code: 1 when the first was loaded, plus 2 when the second was.
#include <windows.h>

#include "platform/win32/dll_search.h"

int main() {
  int loaded = LoadLibraryA("planted_before.dll") != nullptr ? 1 : 0;
  uninstall::RestrictDllSearchToSystem32();
  if (LoadLibraryA("planted_after.dll") != nullptr) loaded += 2;
  return loaded;
}
