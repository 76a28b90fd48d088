#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include "platform/win32/win32_handles.h"
// After windows.h, which it needs.
#include <sddl.h>
#include <winternl.h>

#include <algorithm>
#include <cstring>

namespace uninstall {
namespace {

// The logic sees handles as opaque numbers with 0 for "none"; the calls that fail with
// INVALID_HANDLE_VALUE return 0 themselves before a handle is converted.

void CopyEntry(const WIN32_FIND_DATAA& data, FoundEntry* entry) {
  entry->attributes = data.dwFileAttributes;
  entry->size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  entry->name = data.cFileName;
}

void StoreLastError(std::uint32_t* error) {
  if (error != nullptr) *error = GetLastError();
}

// NtOpenFile, the one call that opens a name relative to a directory handle, and the
// translation of its status; ntdll is in every process, looked up once.
using NtOpenFileFunction = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES,
                                            PIO_STATUS_BLOCK, ULONG, ULONG);
using StatusToErrorFunction = ULONG(NTAPI*)(NTSTATUS);
using NtQueryInformationFileFunction = NTSTATUS(NTAPI*)(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG,
                                                        FILE_INFORMATION_CLASS);
using NtQueryObjectFunction = NTSTATUS(NTAPI*)(HANDLE, OBJECT_INFORMATION_CLASS, PVOID, ULONG,
                                               PULONG);
using NtQueryDirectoryFileFunction = NTSTATUS(NTAPI*)(HANDLE, HANDLE, PIO_APC_ROUTINE, PVOID,
                                                      PIO_STATUS_BLOCK, PVOID, ULONG,
                                                      FILE_INFORMATION_CLASS, BOOLEAN,
                                                      PUNICODE_STRING, BOOLEAN);

// The listing record of FileIdBothDirectoryInformation (37), as the system lays it out.
constexpr FILE_INFORMATION_CLASS kFileIdBothDirectoryInformation =
    static_cast<FILE_INFORMATION_CLASS>(37);

template <typename Function>
Function NtdllFunction(const char* name) {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  if (ntdll == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(ntdll, name)));
}

// Looked up when the program starts (ntdll is in every process from the first instruction),
// so that no call pays for it and no guarded local static pulls in the runtime's exceptions.
const NtOpenFileFunction kNtOpenFile = NtdllFunction<NtOpenFileFunction>("NtOpenFile");
const StatusToErrorFunction kStatusToError =
    NtdllFunction<StatusToErrorFunction>("RtlNtStatusToDosError");
const NtQueryDirectoryFileFunction kNtQueryDirectoryFile =
    NtdllFunction<NtQueryDirectoryFileFunction>("NtQueryDirectoryFile");
const NtQueryObjectFunction kNtQueryObject = NtdllFunction<NtQueryObjectFunction>("NtQueryObject");
const NtQueryInformationFileFunction kNtQueryInformationFile =
    NtdllFunction<NtQueryInformationFileFunction>("NtQueryInformationFile");

// The file index of FileInternalInformation (6): what the listing's FileId holds.
constexpr FILE_INFORMATION_CLASS kFileInternalInformation = static_cast<FILE_INFORMATION_CLASS>(6);

// ObjectNameInformation, and the answers that ask for a larger buffer.
constexpr OBJECT_INFORMATION_CLASS kObjectNameInformation = ObjectNameInformation;
constexpr NTSTATUS kStatusBufferOverflow = static_cast<NTSTATUS>(0x80000005);
constexpr NTSTATUS kStatusInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);
constexpr NTSTATUS kStatusBufferTooSmall = static_cast<NTSTATUS>(0xC0000023);

ACCESS_MASK NodeAccess(std::uint32_t access) {
  ACCESS_MASK mask = SYNCHRONIZE | FILE_READ_ATTRIBUTES;
  if (access & kNodeDelete) mask |= DELETE | FILE_WRITE_ATTRIBUTES;
  if (access & kNodeList) mask |= FILE_LIST_DIRECTORY | FILE_TRAVERSE;
  return mask;
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// One batch of a directory listing: enough for a few hundred names per call.
constexpr std::size_t kListBufferBytes = 64 * 1024;

// NtOpenFile of `name` relative to `parent`, the link itself where the system can; "" opens
// `parent` itself anew. The system's status comes back.
NTSTATUS OpenRelative(HANDLE parent, const std::u16string& name, ACCESS_MASK access, HANDLE* node,
                      ULONG options = 0) {
  if (kNtOpenFile == nullptr) return static_cast<NTSTATUS>(0xC0000002);  // not implemented
  const std::size_t bytes = name.size() * sizeof(char16_t);
  if (bytes > 0xFFFE) return static_cast<NTSTATUS>(0xC0000106);  // name too long
  std::vector<wchar_t> buffer(name.begin(), name.end());
  UNICODE_STRING object_name;
  object_name.Length = static_cast<USHORT>(bytes);
  object_name.MaximumLength = static_cast<USHORT>(bytes);
  object_name.Buffer = buffer.data();
  OBJECT_ATTRIBUTES attributes;
  std::memset(&attributes, 0, sizeof(attributes));
  attributes.Length = sizeof(attributes);
  attributes.RootDirectory = parent;
  attributes.ObjectName = &object_name;
  attributes.Attributes = OBJ_CASE_INSENSITIVE;
  IO_STATUS_BLOCK io;
  *node = nullptr;
  return kNtOpenFile(node, access, &attributes, &io, kShareAll,
                     FILE_OPEN_REPARSE_POINT | FILE_OPEN_FOR_BACKUP_INTENT |
                         FILE_SYNCHRONOUS_IO_NONALERT | options);
}

}  // namespace

SearchHandle Win32FileSystem::FindFirst(const std::string& pattern, FoundEntry* entry,
                                        std::uint32_t* error) {
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA(pattern.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) {
    StoreLastError(error);
    return {};
  }
  CopyEntry(data, entry);
  return FromSystem(search);
}

bool Win32FileSystem::FindNext(SearchHandle search, FoundEntry* entry) {
  WIN32_FIND_DATAA data;
  if (!FindNextFileA(ToSystem(search), &data)) return false;
  CopyEntry(data, entry);
  return true;
}

void Win32FileSystem::CloseSearch(SearchHandle search) { FindClose(ToSystem(search)); }

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
    return {};
  }
  return FromSystem(file);
}

FileHandle Win32FileSystem::CreateProtectedFile(const std::string& path,
                                                const std::string& security, std::uint32_t* error) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(security.c_str(), SDDL_REVISION_1,
                                                            &descriptor, nullptr)) {
    StoreLastError(error);
    return {};
  }
  SECURITY_ATTRIBUTES attributes = {sizeof(attributes), descriptor, FALSE};
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                            &attributes, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) StoreLastError(error);
  LocalFree(descriptor);
  return file == INVALID_HANDLE_VALUE ? FileHandle() : FileHandle(FromSystem(file));
}

std::int64_t Win32FileSystem::SizeOfFile(FileHandle file) {
  DWORD high = 0;
  // INVALID_FILE_SIZE is also a valid low half; only the last error tells them apart.
  SetLastError(NO_ERROR);
  DWORD low = GetFileSize(ToSystem(file), &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return -1;
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(high) << 32) | low);
}

bool Win32FileSystem::ReadBytes(FileHandle file, void* buffer, std::uint32_t count,
                                std::uint32_t* read) {
  DWORD done = 0;
  BOOL ok = ReadFile(ToSystem(file), buffer, count, &done, nullptr);
  if (read != nullptr) *read = done;
  return ok != FALSE;
}

bool Win32FileSystem::WriteBytes(FileHandle file, const void* buffer, std::uint32_t count,
                                 std::uint32_t* written) {
  DWORD done = 0;
  BOOL ok = WriteFile(ToSystem(file), buffer, count, &done, nullptr);
  if (written != nullptr) *written = done;
  return ok != FALSE;
}

bool Win32FileSystem::MovePointer(FileHandle file, std::int64_t distance, MoveFrom from) {
  LONG high = static_cast<LONG>(distance >> 32);
  LONG low = static_cast<LONG>(static_cast<std::uint32_t>(distance & 0xFFFFFFFF));
  // As with GetFileSize, INVALID_SET_FILE_POINTER can be a real position.
  SetLastError(NO_ERROR);
  DWORD result = SetFilePointer(ToSystem(file), low, &high,
                                from == MoveFrom::kStart ? FILE_BEGIN : FILE_CURRENT);
  return !(result == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
}

void Win32FileSystem::CloseFile(FileHandle file) { CloseHandle(ToSystem(file)); }

NodeHandle Win32FileSystem::OpenNode(NodeHandle parent, const std::u16string& name,
                                     std::uint32_t access, std::uint32_t* error) {
  HANDLE node = nullptr;
  NTSTATUS status =
      OpenRelative(ToSystem(parent), name, NodeAccess(access), &node,
                   (access & kNodeFileOnly) != 0 ? FILE_NON_DIRECTORY_FILE : ULONG{0});
  if (status < 0) {
    if (error != nullptr) {
      *error = kStatusToError != nullptr ? kStatusToError(status) : ERROR_GEN_FAILURE;
    }
    return {};
  }
  return FromSystem(node);
}

bool Win32FileSystem::NodeId(NodeHandle node, std::uint64_t* id) {
  // One question to the system, where GetFileInformationByHandle asks the volume too.
  if (kNtQueryInformationFile == nullptr) return false;
  LARGE_INTEGER index;
  IO_STATUS_BLOCK io;
  if (kNtQueryInformationFile(ToSystem(node), &io, &index, sizeof(index),
                              kFileInternalInformation) < 0) {
    return false;
  }
  *id = static_cast<std::uint64_t>(index.QuadPart);
  return true;
}

bool Win32FileSystem::NodeIdentity(NodeHandle node, std::uint32_t* volume, std::uint64_t* id) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(ToSystem(node), &info)) return false;
  *volume = info.dwVolumeSerialNumber;
  *id = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return true;
}

bool Win32FileSystem::FindListedEntry(NodeHandle directory, const std::u16string& name,
                                      ListedName* entry) {
  const std::size_t bytes = name.size() * sizeof(char16_t);
  if (kNtQueryDirectoryFile == nullptr || bytes == 0 || bytes > 0xFFFE) return false;
  HANDLE listing = nullptr;
  if (OpenRelative(ToSystem(directory), u"", FILE_LIST_DIRECTORY | SYNCHRONIZE, &listing) < 0) {
    return false;
  }
  std::vector<wchar_t> buffer(name.begin(), name.end());
  UNICODE_STRING mask;
  mask.Length = static_cast<USHORT>(bytes);
  mask.MaximumLength = static_cast<USHORT>(bytes);
  mask.Buffer = buffer.data();
  std::vector<std::uint64_t> record((sizeof(FILE_ID_BOTH_DIR_INFO) + 2 * MAX_PATH + 7) / 8);
  IO_STATUS_BLOCK io;
  NTSTATUS status = kNtQueryDirectoryFile(listing, nullptr, nullptr, nullptr, &io, record.data(),
                                          static_cast<ULONG>(record.size() * sizeof(std::uint64_t)),
                                          kFileIdBothDirectoryInformation, TRUE, &mask, TRUE);
  CloseHandle(listing);
  if (status < 0) return false;
  const auto* info = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(record.data());
  entry->name.assign(info->FileName, info->FileName + info->FileNameLength / sizeof(wchar_t));
  entry->attributes = info->FileAttributes;
  entry->id = static_cast<std::uint64_t>(info->FileId.QuadPart);
  return true;
}

NodeHandle Win32FileSystem::OpenDirectoryPath(const std::u16string& path, std::uint32_t access,
                                              std::uint32_t* error) {
  const std::wstring wide(path.begin(), path.end());
  HANDLE node = CreateFileW(wide.c_str(), NodeAccess(access), kShareAll, nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (node == INVALID_HANDLE_VALUE) {
    StoreLastError(error);
    return {};
  }
  return FromSystem(node);
}

bool Win32FileSystem::NodeAttributes(NodeHandle node, std::uint32_t* attributes) {
  FILE_ATTRIBUTE_TAG_INFO info;
  if (!GetFileInformationByHandleEx(ToSystem(node), FileAttributeTagInfo, &info, sizeof(info))) {
    return false;
  }
  *attributes = info.FileAttributes;
  return true;
}

bool Win32FileSystem::FinalPath(NodeHandle node, std::u16string* path) {
  if (kNtQueryObject == nullptr) return false;
  // A path of any length: the system says how much it needs when the buffer is too small.
  std::vector<std::uint64_t> buffer((sizeof(UNICODE_STRING) + 2 * MAX_PATH + 7) / 8);
  for (int tries = 0; tries < 4; ++tries) {
    ULONG needed = 0;
    const ULONG size = static_cast<ULONG>(buffer.size() * sizeof(std::uint64_t));
    const NTSTATUS status =
        kNtQueryObject(ToSystem(node), kObjectNameInformation, buffer.data(), size, &needed);
    if (status >= 0) {
      const auto* name = reinterpret_cast<const UNICODE_STRING*>(buffer.data());
      path->assign(name->Buffer, name->Buffer + name->Length / sizeof(wchar_t));
      return true;
    }
    if (status != kStatusBufferOverflow && status != kStatusInfoLengthMismatch &&
        status != kStatusBufferTooSmall) {
      return false;
    }
    buffer.resize((std::max<ULONG>(needed, 2 * size) + 7) / 8);
  }
  return false;
}

bool Win32FileSystem::NormalizedPath(NodeHandle node, std::u16string* path) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (int tries = 0; tries < 4; ++tries) {
    DWORD length =
        GetFinalPathNameByHandleW(ToSystem(node), buffer.data(), static_cast<DWORD>(buffer.size()),
                                  FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0) return false;
    if (length < buffer.size()) {
      path->assign(buffer.begin(), buffer.begin() + length);
      return true;
    }
    buffer.resize(length + 1);  // the size it needs, terminator included
  }
  return false;
}

bool Win32FileSystem::SetNodeAttributes(NodeHandle node, std::uint32_t attributes) {
  FILE_BASIC_INFO basic;
  std::memset(&basic, 0, sizeof(basic));  // times of 0 stay as they are
  basic.FileAttributes = attributes;
  return SetFileInformationByHandle(ToSystem(node), FileBasicInfo, &basic, sizeof(basic)) != FALSE;
}

bool Win32FileSystem::DeleteOnClose(NodeHandle node) {
  FILE_DISPOSITION_INFO disposition;
  disposition.DeleteFile = TRUE;
  return SetFileInformationByHandle(ToSystem(node), FileDispositionInfo, &disposition,
                                    sizeof(disposition)) != FALSE;
}

bool Win32FileSystem::ListNode(NodeHandle directory, ListFrom from,
                               std::vector<ListedName>* entries) {
  entries->clear();
  std::vector<std::uint64_t> buffer(kListBufferBytes / sizeof(std::uint64_t));
  if (!GetFileInformationByHandleEx(
          ToSystem(directory),
          from == ListFrom::kStart ? FileIdBothDirectoryRestartInfo : FileIdBothDirectoryInfo,
          buffer.data(), static_cast<DWORD>(buffer.size() * sizeof(std::uint64_t)))) {
    return false;
  }
  const char* at = reinterpret_cast<const char*>(buffer.data());
  for (;;) {
    const auto* info = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(at);
    const wchar_t* name = info->FileName;
    entries->push_back(
        ListedName{std::u16string(name, name + info->FileNameLength / sizeof(wchar_t)),
                   info->FileAttributes, static_cast<std::uint64_t>(info->FileId.QuadPart)});
    if (info->NextEntryOffset == 0) break;
    at += info->NextEntryOffset;
  }
  return true;
}

void Win32FileSystem::CloseNode(NodeHandle node) { CloseHandle(ToSystem(node)); }

bool Win32FileSystem::WidenName(const std::string& text, std::u16string* wide) {
  wide->clear();
  if (text.empty()) return true;
  const int size = static_cast<int>(text.size());
  int count = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
  if (count <= 0) return false;
  std::vector<wchar_t> buffer(count);
  count =
      MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), size, buffer.data(), count);
  if (count <= 0) return false;
  wide->assign(buffer.begin(), buffer.begin() + count);
  return true;
}

bool Win32FileSystem::NarrowName(std::u16string_view wide, std::string* text) {
  text->clear();
  if (wide.empty()) return true;
  const auto* source = reinterpret_cast<const wchar_t*>(wide.data());
  const int size = static_cast<int>(wide.size());
  BOOL used_default = FALSE;
  int count = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, source, size, nullptr, 0, nullptr,
                                  &used_default);
  if (count <= 0 || used_default) return false;
  std::vector<char> buffer(count);
  count = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, source, size, buffer.data(), count,
                              nullptr, &used_default);
  if (count <= 0 || used_default) return false;
  text->assign(buffer.begin(), buffer.begin() + count);
  return true;
}

bool Win32FileSystem::SameFileName(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         CompareStringOrdinal(reinterpret_cast<const wchar_t*>(a.data()),
                              static_cast<int>(a.size()),
                              reinterpret_cast<const wchar_t*>(b.data()),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace uninstall
