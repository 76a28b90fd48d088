#include "fakes/fake_file_system.h"

#include "names/encodings.h"

namespace uninstall {
namespace {

// A wide name as the log shows it.
std::string Shown(std::u16string_view name) {
  return NarrowedTo(kWesternCodePage, name).value_or("(wide)");
}

// The failure of a call that reports its error.
template <typename HandleType>
HandleType Failed(std::uint32_t* error) {
  if (error != nullptr) *error = kErrorAccessDenied;
  return HandleType();
}

}  // namespace

FakeFileSystem::FakeFileSystem(CallLog* log) : log_(log) { AddDrive('C'); }

SearchHandle FakeFileSystem::FindFirst(const std::string& pattern, FoundEntry* entry,
                                       std::uint32_t* error) {
  if (Log("FindFirst " + pattern)) return Failed<SearchHandle>(error);
  return MemoryFileSystem::FindFirst(pattern, entry, error);
}

bool FakeFileSystem::FindNext(SearchHandle search, FoundEntry* entry) {
  return !Log("FindNext " + SearchText(search)) && MemoryFileSystem::FindNext(search, entry);
}

void FakeFileSystem::CloseSearch(SearchHandle search) {
  Log("CloseSearch " + SearchText(search));
  MemoryFileSystem::CloseSearch(search);
}

std::uint32_t FakeFileSystem::DriveTypeOf(const std::string& root) {
  if (Log("DriveTypeOf " + root)) return 0;  // DRIVE_UNKNOWN
  return MemoryFileSystem::DriveTypeOf(root);
}

std::uint32_t FakeFileSystem::AttributesOf(const std::string& path) {
  if (Log("AttributesOf " + path)) return kInvalidAttributes;
  return MemoryFileSystem::AttributesOf(path);
}

bool FakeFileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
  return !Log("SetAttributes " + path + " " + std::to_string(attributes)) &&
         MemoryFileSystem::SetAttributes(path, attributes);
}

bool FakeFileSystem::EraseFile(const std::string& path) {
  return !Log("EraseFile " + path) && MemoryFileSystem::EraseFile(path);
}

bool FakeFileSystem::EraseDirectory(const std::string& path) {
  return !Log("EraseDirectory " + path) && MemoryFileSystem::EraseDirectory(path);
}

FileHandle FakeFileSystem::OpenFile(const std::string& path, std::uint32_t access,
                                    std::uint32_t share, std::uint32_t disposition,
                                    std::uint32_t attributes, std::uint32_t* error) {
  if (Log("OpenFile " + path)) return Failed<FileHandle>(error);
  return MemoryFileSystem::OpenFile(path, access, share, disposition, attributes, error);
}

FileHandle FakeFileSystem::CreateProtectedFile(const std::string& path, const std::string& security,
                                               std::uint32_t* error) {
  if (Log("CreateProtectedFile " + path + " " + security)) return Failed<FileHandle>(error);
  return MemoryFileSystem::CreateProtectedFile(path, security, error);
}

std::int64_t FakeFileSystem::SizeOfFile(FileHandle file) {
  if (Log("SizeOfFile " + FileText(file))) return -1;
  return MemoryFileSystem::SizeOfFile(file);
}

bool FakeFileSystem::ReadBytes(FileHandle file, void* buffer, std::uint32_t count,
                               std::uint32_t* read) {
  if (read != nullptr) *read = 0;
  return !Log("ReadBytes " + FileText(file) + " " + std::to_string(count)) &&
         MemoryFileSystem::ReadBytes(file, buffer, count, read);
}

bool FakeFileSystem::WriteBytes(FileHandle file, const void* buffer, std::uint32_t count,
                                std::uint32_t* written) {
  if (written != nullptr) *written = 0;
  return !Log("WriteBytes " + FileText(file) + " " + std::to_string(count)) &&
         MemoryFileSystem::WriteBytes(file, buffer, count, written);
}

bool FakeFileSystem::MovePointer(FileHandle file, std::int64_t distance, MoveFrom from) {
  return !Log("MovePointer " + FileText(file) + " " + std::to_string(distance) +
              (from == MoveFrom::kStart ? " start" : "")) &&
         MemoryFileSystem::MovePointer(file, distance, from);
}

void FakeFileSystem::CloseFile(FileHandle file) {
  Log("CloseFile " + FileText(file));
  MemoryFileSystem::CloseFile(file);
}

NodeHandle FakeFileSystem::OpenDirectoryPath(const std::u16string& path, std::uint32_t access,
                                             std::uint32_t* error) {
  if (Log("OpenDirectoryPath " + Shown(path))) return Failed<NodeHandle>(error);
  return MemoryFileSystem::OpenDirectoryPath(path, access, error);
}

NodeHandle FakeFileSystem::OpenNode(NodeHandle parent, const std::u16string& name,
                                    std::uint32_t access, std::uint32_t* error) {
  if (Log("OpenNode " + Text(parent) + "\\" + Shown(name))) return Failed<NodeHandle>(error);
  return MemoryFileSystem::OpenNode(parent, name, access, error);
}

bool FakeFileSystem::NodeAttributes(NodeHandle node, std::uint32_t* attributes) {
  return !Log("NodeAttributes " + Text(node)) && MemoryFileSystem::NodeAttributes(node, attributes);
}

bool FakeFileSystem::FinalPath(NodeHandle node, std::u16string* path) {
  return !Log("FinalPath " + Text(node)) && MemoryFileSystem::FinalPath(node, path);
}

bool FakeFileSystem::NormalizedPath(NodeHandle node, std::u16string* path) {
  return !Log("NormalizedPath " + Text(node)) && MemoryFileSystem::NormalizedPath(node, path);
}

bool FakeFileSystem::NodeId(NodeHandle node, std::uint64_t* id) {
  return !Log("NodeId " + Text(node)) && MemoryFileSystem::NodeId(node, id);
}

bool FakeFileSystem::NodeIdentity(NodeHandle node, std::uint32_t* volume, std::uint64_t* id) {
  return !Log("NodeIdentity " + Text(node)) && MemoryFileSystem::NodeIdentity(node, volume, id);
}

bool FakeFileSystem::FindListedEntry(NodeHandle directory, const std::u16string& name,
                                     ListedName* entry) {
  return !Log("FindListedEntry " + Text(directory) + "\\" + Shown(name)) &&
         MemoryFileSystem::FindListedEntry(directory, name, entry);
}

bool FakeFileSystem::SetNodeAttributes(NodeHandle node, std::uint32_t attributes) {
  return !Log("SetNodeAttributes " + Text(node) + " " + std::to_string(attributes)) &&
         MemoryFileSystem::SetNodeAttributes(node, attributes);
}

bool FakeFileSystem::DeleteOnClose(NodeHandle node) {
  return !Log("DeleteOnClose " + Text(node)) && MemoryFileSystem::DeleteOnClose(node);
}

bool FakeFileSystem::ListNode(NodeHandle directory, ListFrom from,
                              std::vector<ListedName>* entries) {
  entries->clear();
  return !Log("ListNode " + Text(directory) + (from == ListFrom::kStart ? " restart" : "")) &&
         MemoryFileSystem::ListNode(directory, from, entries);
}

void FakeFileSystem::CloseNode(NodeHandle node) {
  Log("CloseNode " + Text(node));
  MemoryFileSystem::CloseNode(node);
}

bool FakeFileSystem::WidenName(const std::string& text, std::u16string* wide) {
  return !Log("WidenName " + text) && MemoryFileSystem::WidenName(text, wide);
}

std::vector<std::u16string> FakeFileSystem::WholeFolders() {
  if (Log("WholeFolders")) return {};
  return MemoryFileSystem::WholeFolders();
}

}  // namespace uninstall
