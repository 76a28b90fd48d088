// Where the program may load DLLs from.
#ifndef UNINSTALL_PLATFORM_WIN32_DLL_SEARCH_H_
#define UNINSTALL_PLATFORM_WIN32_DLL_SEARCH_H_

namespace uninstall {

// The first thing the program does, before any DLL is loaded by name or through COM. Elevated
// as it runs, a DLL planted beside the program (or in the current directory) and loaded by bare
// name would run with administrator rights: the default search is restricted to System32, and
// the DLLs that Windows' own components load later by bare name are loaded from there now.
void RestrictDllSearchToSystem32();

}  // namespace uninstall

#endif  // UNINSTALL_PLATFORM_WIN32_DLL_SEARCH_H_
