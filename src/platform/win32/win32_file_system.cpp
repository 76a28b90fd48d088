#include "platform/win32/win32_file_system.h"

#include <windows.h>

namespace uninstall {
namespace {

// The logic sees handles as opaque numbers with 0 for "none"; the calls that fail with
// INVALID_HANDLE_VALUE return 0 themselves before a handle is converted.
std::uintptr_t FromHandle(HANDLE handle) { return reinterpret_cast<std::uintptr_t>(handle); }

HANDLE ToHandle(std::uintptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

void CopyEntry(const WIN32_FIND_DATAA& data, FoundEntry* entry) {
  entry->attributes = data.dwFileAttributes;
  entry->size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  entry->name = data.cFileName;
}

void StoreLastError(std::uint32_t* error) {
  if (error != nullptr) *error = GetLastError();
}

}  // namespace

SearchHandle Win32FileSystem::FindFirst(const std::string& pattern, FoundEntry* entry,
                                        std::uint32_t* error) {
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA(pattern.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) {
    StoreLastError(error);
    return 0;
  }
  CopyEntry(data, entry);
  return FromHandle(search);
}

bool Win32FileSystem::FindNext(SearchHandle search, FoundEntry* entry) {
  WIN32_FIND_DATAA data;
  if (!FindNextFileA(ToHandle(search), &data)) return false;
  CopyEntry(data, entry);
  return true;
}

void Win32FileSystem::CloseSearch(SearchHandle search) { FindClose(ToHandle(search)); }

std::uint32_t Win32FileSystem::DriveTypeOf(const std::string& root) {
  return GetDriveTypeA(root.c_str());
}

std::uint32_t Win32FileSystem::AttributesOf(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes == INVALID_FILE_ATTRIBUTES ? kInvalidAttributes : attributes;
}

bool Win32FileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
  return SetFileAttributesA(path.c_str(), attributes) != FALSE;
}

bool Win32FileSystem::EraseFile(const std::string& path) {
  return DeleteFileA(path.c_str()) != FALSE;
}

bool Win32FileSystem::EraseDirectory(const std::string& path) {
  return RemoveDirectoryA(path.c_str()) != FALSE;
}

FileHandle Win32FileSystem::OpenFile(const std::string& path, std::uint32_t access,
                                     std::uint32_t share, std::uint32_t disposition,
                                     std::uint32_t attributes, std::uint32_t* error) {
  HANDLE file = CreateFileA(path.c_str(), access, share, nullptr, disposition, attributes, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    StoreLastError(error);
    return 0;
  }
  return FromHandle(file);
}

std::int64_t Win32FileSystem::SizeOfFile(FileHandle file) {
  DWORD high = 0;
  // INVALID_FILE_SIZE is also a valid low half; only the last error tells them apart.
  SetLastError(NO_ERROR);
  DWORD low = GetFileSize(ToHandle(file), &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return -1;
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(high) << 32) | low);
}

bool Win32FileSystem::ReadBytes(FileHandle file, void* buffer, std::uint32_t count,
                                std::uint32_t* read) {
  DWORD done = 0;
  BOOL ok = ReadFile(ToHandle(file), buffer, count, &done, nullptr);
  if (read != nullptr) *read = done;
  return ok != FALSE;
}

bool Win32FileSystem::WriteBytes(FileHandle file, const void* buffer, std::uint32_t count,
                                 std::uint32_t* written) {
  DWORD done = 0;
  BOOL ok = WriteFile(ToHandle(file), buffer, count, &done, nullptr);
  if (written != nullptr) *written = done;
  return ok != FALSE;
}

bool Win32FileSystem::MovePointer(FileHandle file, std::int64_t distance, bool from_start) {
  LONG high = static_cast<LONG>(distance >> 32);
  LONG low = static_cast<LONG>(static_cast<std::uint32_t>(distance & 0xFFFFFFFF));
  // As with GetFileSize, INVALID_SET_FILE_POINTER can be a real position.
  SetLastError(NO_ERROR);
  DWORD result = SetFilePointer(ToHandle(file), low, &high, from_start ? FILE_BEGIN : FILE_CURRENT);
  return !(result == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
}

void Win32FileSystem::CloseFile(FileHandle file) { CloseHandle(ToHandle(file)); }

}  // namespace uninstall
