// File-system calls at the level of the Win32 file API, in portable types.
// Implemented by the Win32 layer and by the in-memory fake of the tests.
#ifndef UNINSTALL_PLATFORM_FILE_SYSTEM_H_
#define UNINSTALL_PLATFORM_FILE_SYSTEM_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_names.h"
#include "platform/handle.h"

namespace uninstall {

// Attribute bits as the system reports them.
inline constexpr std::uint32_t kAttributeReadOnly = 0x01;
inline constexpr std::uint32_t kAttributeHidden = 0x02;
inline constexpr std::uint32_t kAttributeSystem = 0x04;
inline constexpr std::uint32_t kAttributeDirectory = 0x10;
inline constexpr std::uint32_t kAttributeArchive = 0x20;
inline constexpr std::uint32_t kAttributeNormal = 0x80;
inline constexpr std::uint32_t kAttributeReparsePoint = 0x400;  // junctions, symbolic links
inline constexpr std::uint32_t kInvalidAttributes = 0xFFFFFFFF;

// Drive types of the drive-type query.
inline constexpr std::uint32_t kDriveNoRootDir = 1;
inline constexpr std::uint32_t kDriveFixed = 3;
inline constexpr std::uint32_t kDriveRemote = 4;
inline constexpr std::uint32_t kDriveCdRom = 5;

// Error codes the logic looks at.
inline constexpr std::uint32_t kErrorFileNotFound = 2;
inline constexpr std::uint32_t kErrorPathNotFound = 3;
inline constexpr std::uint32_t kErrorAccessDenied = 5;
inline constexpr std::uint32_t kErrorSharingViolation = 32;
inline constexpr std::uint32_t kErrorInvalidName = 123;
inline constexpr std::uint32_t kErrorFileExists = 80;
inline constexpr std::uint32_t kErrorAlreadyExists = 183;

// Access, share and disposition values of the file-open call.
inline constexpr std::uint32_t kGenericRead = 0x80000000;
inline constexpr std::uint32_t kGenericWrite = 0x40000000;
inline constexpr std::uint32_t kShareRead = 0x1;
inline constexpr std::uint32_t kCreateNew = 1;
inline constexpr std::uint32_t kCreateAlways = 2;
inline constexpr std::uint32_t kOpenExisting = 3;
inline constexpr std::uint32_t kTruncateExisting = 5;

// Where SetFilePointer counts from, and where a listing goes on.
enum class MoveFrom : bool { kCurrent, kStart };
enum class ListFrom : bool { kNext, kStart };

// One entry of a directory search.
struct FoundEntry {
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
  std::string name;
};

// Opaque handles; 0 means "none" (the Win32 layer maps INVALID_HANDLE_VALUE to 0).
using SearchHandle = Handle<struct SearchKind>;
using FileHandle = Handle<struct FileKind>;
// A file or directory opened for the removal; names below it are opened relative to it.
using NodeHandle = Handle<struct NodeKind>;

// What a node is opened for, besides reading its attributes: deleting it (and changing its
// attributes), and listing it when it is a directory. With kNodeFileOnly only a file is opened
// (FILE_NON_DIRECTORY_FILE): a directory, or a link to one, is refused.
inline constexpr std::uint32_t kNodeDelete = 1;
inline constexpr std::uint32_t kNodeList = 2;
inline constexpr std::uint32_t kNodeFileOnly = 4;

// One entry of a directory listed through its handle: the name as the system holds it, in
// UTF-16, so that a name the 8-bit code page cannot hold is still opened as itself.
struct ListedName {
  std::u16string name;
  std::uint32_t attributes = 0;
  std::uint64_t id = 0;  // the file id, as NodeId gives it for an open node
};

class FileSystem : public FileNames {
 public:
  // FindFirstFileA. Returns 0 when nothing was found; *error receives the last error then.
  virtual SearchHandle FindFirst(const std::string& pattern, FoundEntry* entry,
                                 std::uint32_t* error) = 0;
  // FindNextFileA.
  virtual bool FindNext(SearchHandle search, FoundEntry* entry) = 0;
  // FindClose.
  virtual void CloseSearch(SearchHandle search) = 0;

  // GetDriveTypeA of a root such as "C:\".
  virtual std::uint32_t DriveTypeOf(const std::string& root) = 0;
  // GetFileAttributesA; kInvalidAttributes when the path names nothing.
  virtual std::uint32_t AttributesOf(const std::string& path) = 0;
  // SetFileAttributesA.
  virtual bool SetAttributes(const std::string& path, std::uint32_t attributes) = 0;
  // DeleteFileA.
  virtual bool EraseFile(const std::string& path) = 0;
  // RemoveDirectoryA: removes an empty directory only.
  virtual bool EraseDirectory(const std::string& path) = 0;

  // CreateFileA with the given access, share mode, disposition and attributes, no security
  // attributes and no template. Returns 0 on failure; *error receives the last error then.
  virtual FileHandle OpenFile(const std::string& path, std::uint32_t access, std::uint32_t share,
                              std::uint32_t disposition, std::uint32_t attributes,
                              std::uint32_t* error) = 0;
  // CreateFileA of a new file (CREATE_NEW) for reading and writing, shared for reading, with the
  // security descriptor given in the SDDL text `security` at creation. 0 on failure.
  virtual FileHandle CreateProtectedFile(const std::string& path, const std::string& security,
                                         std::uint32_t* error) = 0;
  // GetFileSize (both halves): the size of an open file, or -1.
  virtual std::int64_t SizeOfFile(FileHandle file) = 0;
  // ReadFile: up to `count` bytes; *read receives how many came (0 at the end).
  virtual bool ReadBytes(FileHandle file, void* buffer, std::uint32_t count,
                         std::uint32_t* read) = 0;
  // WriteFile.
  virtual bool WriteBytes(FileHandle file, const void* buffer, std::uint32_t count,
                          std::uint32_t* written) = 0;
  // SetFilePointer relative to the current position (FILE_CURRENT) or the start (FILE_BEGIN).
  virtual bool MovePointer(FileHandle file, std::int64_t distance, MoveFrom from) = 0;
  // CloseHandle.
  virtual void CloseFile(FileHandle file) = 0;

  // --- Removal through handles ----------------------------------------------------------
  // CreateFileW of a directory (FILE_FLAG_BACKUP_SEMANTICS; links on the way and at the end are
  // followed), shared for reading, writing and deletion; `access` as for OpenNode. 0 on failure.
  virtual NodeHandle OpenDirectoryPath(const std::u16string& path, std::uint32_t access,
                                       std::uint32_t* error) = 0;
  // NtOpenFile of one name relative to the directory `parent` (RootDirectory), with
  // FILE_OPEN_REPARSE_POINT, shared for reading, writing and deletion; an empty name opens
  // `parent` itself once more. 0 on failure; *error receives the system's error code (2 or 3
  // when nothing has that name).
  virtual NodeHandle OpenNode(NodeHandle parent, const std::u16string& name, std::uint32_t access,
                              std::uint32_t* error) = 0;
  // GetFileInformationByHandleEx(FileAttributeTagInfo): the attributes of the opened node.
  virtual bool NodeAttributes(NodeHandle node, std::uint32_t* attributes) = 0;
  // NtQueryObject(ObjectNameInformation), of any length: where the system says the node is, in
  // its own namespace (\Device\...\ on Windows, \??\C:\... under Wine). The same form for
  // every node, so that a node's path can be compared with its parent's. (Wine works that out
  // from the name at the moment of opening, apart from the opening itself.)
  virtual bool FinalPath(NodeHandle node, std::u16string* path) = 0;
  // GetFinalPathNameByHandleW (FILE_NAME_NORMALIZED, VOLUME_NAME_DOS), of any length: the path
  // with long names and the drive's letter ("\\?\C:\..." or "\\?\UNC\server\share\..."),
  // whatever link, drive letter or short name the node was opened through.
  virtual bool NormalizedPath(NodeHandle node, std::u16string* path) = 0;
  // NtQueryInformationFile(FileInternalInformation): the node's file index, as the directory
  // listing gives it.
  virtual bool NodeId(NodeHandle node, std::uint64_t* id) = 0;
  // GetFileInformationByHandle: the serial number of the node's volume and its file index, which
  // together name it whatever path leads to it (a folder reached through a network share too).
  virtual bool NodeIdentity(NodeHandle node, std::uint32_t* volume, std::uint64_t* id) = 0;
  // NtQueryDirectoryFile with `name` as the search mask, on a handle of its own for the same
  // directory (a handle keeps the mask of its first search): the entry of that name as the
  // directory lists it now. A link shows there as one (Wine gives it the id of its target).
  virtual bool FindListedEntry(NodeHandle directory, const std::u16string& name,
                               ListedName* entry) = 0;
  // SetFileInformationByHandle(FileBasicInfo) with the attributes alone.
  virtual bool SetNodeAttributes(NodeHandle node, std::uint32_t attributes) = 0;
  // SetFileInformationByHandle(FileDispositionInfo): the node goes when its last handle closes.
  // Refused for a read-only file and a directory that is not empty.
  virtual bool DeleteOnClose(NodeHandle node) = 0;
  // GetFileInformationByHandleEx with the directory-listing classes: the next entries of the
  // directory ("." and ".." included where the system lists them), or from the first again.
  // False when there are no more, or the directory cannot be listed.
  virtual bool ListNode(NodeHandle directory, ListFrom from, std::vector<ListedName>* entries) = 0;
  // CloseHandle.
  virtual void CloseNode(NodeHandle node) = 0;

  // --- Folders of the system and its users ------------------------------------------------
  // The folders that the system or a user owns as a whole, as the system names them, in
  // UTF-16: the Windows and system directories and their temp, Program Files and Common Files
  // (both views), ProgramData, the Users root and every profile, the Public folders, the
  // current user's and the common Desktop, Documents, Downloads, Music, Pictures, Videos,
  // Favorites, Templates, AppData and its temp, Start Menu, Programs, Startup, Fonts
  // (SHGetKnownFolderPath, the machine's Program Files values and profile list in the
  // registry). Never from the environment, which whoever starts the program sets. One the
  // system cannot name is left out.
  virtual std::vector<std::u16string> WholeFolders() = 0;
};

}  // namespace uninstall

#endif  // UNINSTALL_PLATFORM_FILE_SYSTEM_H_
