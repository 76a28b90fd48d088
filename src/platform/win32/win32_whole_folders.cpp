// The folders that the system or a user owns as a whole, as Windows names them: the part of
// Win32FileSystem that asks the shell and the registry. Nothing comes from the environment,
// which whoever starts the uninstaller can fill.
#include <windows.h>
// After windows.h, which they need.
#include <knownfolders.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "platform/win32/win32_file_system.h"

namespace uninstall {
namespace {

const KNOWNFOLDERID* const kWholeFolders[] = {
    &FOLDERID_Windows,
    &FOLDERID_System,
    &FOLDERID_SystemX86,
    &FOLDERID_ProgramFiles,
    &FOLDERID_ProgramFilesX86,
    &FOLDERID_ProgramFilesX64,
    &FOLDERID_ProgramFilesCommon,
    &FOLDERID_ProgramFilesCommonX86,
    &FOLDERID_ProgramFilesCommonX64,
    &FOLDERID_ProgramData,
    &FOLDERID_UserProfiles,
    &FOLDERID_Profile,
    &FOLDERID_Public,
    &FOLDERID_PublicDesktop,
    &FOLDERID_PublicDocuments,
    &FOLDERID_PublicDownloads,
    &FOLDERID_PublicMusic,
    &FOLDERID_PublicPictures,
    &FOLDERID_PublicVideos,
    &FOLDERID_Desktop,
    &FOLDERID_Documents,
    &FOLDERID_Downloads,
    &FOLDERID_Music,
    &FOLDERID_Pictures,
    &FOLDERID_Videos,
    &FOLDERID_Favorites,
    &FOLDERID_Templates,
    &FOLDERID_CommonTemplates,
    &FOLDERID_RoamingAppData,
    &FOLDERID_LocalAppData,
    &FOLDERID_LocalAppDataLow,
    &FOLDERID_StartMenu,
    &FOLDERID_Programs,
    &FOLDERID_Startup,
    &FOLDERID_CommonStartMenu,
    &FOLDERID_CommonPrograms,
    &FOLDERID_CommonStartup,
    &FOLDERID_Fonts,
};

// A 32-bit program on 64-bit Windows sees only its own view through the known folders; the
// machine's settings name the other.
const wchar_t* const kProgramFilesValues[] = {L"ProgramFilesDir",      L"ProgramFilesDir (x86)",
                                              L"ProgramW6432Dir",      L"CommonFilesDir",
                                              L"CommonFilesDir (x86)", L"CommonW6432Dir"};

void Add(const std::wstring& path, std::vector<std::u16string>* folders) {
  if (!path.empty()) folders->emplace_back(path.begin(), path.end());
}

std::wstring KnownFolder(const KNOWNFOLDERID& id) {
  PWSTR path = nullptr;
  std::wstring result;
  if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path)) && path != nullptr) {
    result = path;
  }
  CoTaskMemFree(path);
  return result;
}

// A string value as stored, without expanding what it names through the environment.
std::wstring StoredValue(HKEY key, const wchar_t* subkey, const wchar_t* name) {
  DWORD bytes = 0;
  const DWORD flags = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
  if (RegGetValueW(key, subkey, name, flags, nullptr, nullptr, &bytes) != ERROR_SUCCESS) return {};
  std::vector<wchar_t> value(bytes / sizeof(wchar_t) + 1, L'\0');
  if (RegGetValueW(key, subkey, name, flags, nullptr, value.data(), &bytes) != ERROR_SUCCESS) {
    return {};
  }
  return value.data();
}

// The two variables that the machine's stored paths use, with the system's own values; a path
// that names any other variable is left as it is, and so names no folder.
std::wstring Expanded(std::wstring path) {
  wchar_t windows[MAX_PATH + 1] = L"";
  const UINT length = GetSystemWindowsDirectoryW(windows, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return path;
  const std::wstring root(windows, length);
  const std::wstring drive = root.substr(0, 2);
  for (const auto& [variable, value] :
       {std::pair<std::wstring, std::wstring>{L"%SYSTEMROOT%", root}, {L"%SYSTEMDRIVE%", drive}}) {
    if (path.size() >= variable.size() &&
        CompareStringOrdinal(path.c_str(), static_cast<int>(variable.size()), variable.c_str(),
                             static_cast<int>(variable.size()), TRUE) == CSTR_EQUAL) {
      path = value + path.substr(variable.size());
    }
  }
  return path;
}

void AddProfiles(std::vector<std::u16string>* folders) {
  HKEY list = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList", 0, KEY_READ,
                    &list) != ERROR_SUCCESS) {
    return;
  }
  wchar_t sid[256];
  for (DWORD index = 0;; ++index) {
    DWORD length = static_cast<DWORD>(sizeof(sid) / sizeof(sid[0]));
    if (RegEnumKeyExW(list, index, sid, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    Add(Expanded(StoredValue(list, sid, L"ProfileImagePath")), folders);
  }
  RegCloseKey(list);
}

void AddProgramFiles(std::vector<std::u16string>* folders) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0,
                    KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) {
    return;
  }
  for (const wchar_t* name : kProgramFilesValues) {
    Add(Expanded(StoredValue(key, nullptr, name)), folders);
  }
  RegCloseKey(key);
}

}  // namespace

std::vector<std::u16string> Win32FileSystem::WholeFolders() {
  std::vector<std::u16string> folders;
  for (const KNOWNFOLDERID* id : kWholeFolders) Add(KnownFolder(*id), &folders);
  // The system's and the user's temp, where the system puts them.
  for (const KNOWNFOLDERID* id : {&FOLDERID_Windows, &FOLDERID_LocalAppData}) {
    const std::wstring folder = KnownFolder(*id);
    if (!folder.empty()) Add(folder + L"\\Temp", &folders);
  }
  AddProgramFiles(&folders);
  AddProfiles(&folders);
  return folders;
}

}  // namespace uninstall
