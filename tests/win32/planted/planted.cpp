// A DLL that does nothing: planted beside a program to see whether it gets loaded.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
