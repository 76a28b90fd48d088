// The folders that the system or a user owns as a whole, as Windows names them, and the long
// form of a path: the part of Win32FileSystem that asks the shell and the registry.
#include <windows.h>
// After windows.h, which they need.
#include <knownfolders.h>
#include <shlobj.h>

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
// environment names the other.
const wchar_t* const kFolderVariables[] = {L"ProgramW6432", L"CommonProgramW6432",
                                           L"ProgramFiles(x86)", L"CommonProgramFiles(x86)"};

// Adds `wide` in the 8-bit code page, unless that cannot hold it.
void Add(const wchar_t* wide, std::vector<std::string>* folders) {
  if (wide == nullptr || wide[0] == L'\0') return;
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL used_default = FALSE;
  int size = WideCharToMultiByte(CP_ACP, flags, wide, -1, nullptr, 0, nullptr,
                                 utf8 ? nullptr : &used_default);
  if (size <= 1 || used_default) return;
  std::vector<char> narrow(size);
  if (WideCharToMultiByte(CP_ACP, flags, wide, -1, narrow.data(), size, nullptr,
                          utf8 ? nullptr : &used_default) != size ||
      used_default) {
    return;
  }
  folders->emplace_back(narrow.data());
}

void AddProfiles(std::vector<std::string>* folders) {
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
    wchar_t path[MAX_PATH];
    DWORD bytes = sizeof(path);
    if (RegGetValueW(list, sid, L"ProfileImagePath", RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ, nullptr,
                     path, &bytes) == ERROR_SUCCESS) {
      Add(path, folders);
    }
  }
  RegCloseKey(list);
}

}  // namespace

std::vector<std::string> Win32FileSystem::WholeFolders() {
  std::vector<std::string> folders;
  for (const KNOWNFOLDERID* id : kWholeFolders) {
    PWSTR path = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(*id, KF_FLAG_DONT_VERIFY, nullptr, &path))) {
      Add(path, &folders);
    }
    CoTaskMemFree(path);
  }
  for (const wchar_t* variable : kFolderVariables) {
    wchar_t path[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(variable, path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) Add(path, &folders);
  }
  wchar_t temp[MAX_PATH + 1];
  DWORD length = GetTempPathW(MAX_PATH + 1, temp);
  if (length > 0 && length <= MAX_PATH) Add(temp, &folders);
  AddProfiles(&folders);
  return folders;
}

std::string Win32FileSystem::LongPathOf(const std::string& path) {
  std::vector<char> buffer(MAX_PATH + 1);
  DWORD length = GetLongPathNameA(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
  if (length == 0 || length >= buffer.size()) return path;
  return std::string(buffer.data(), length);
}

}  // namespace uninstall
