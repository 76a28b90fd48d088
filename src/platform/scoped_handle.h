// The owner of one handle: it closes the handle when it goes out of scope, so that no path of
// the logic forgets it, or at once where the code says so (Close). Traits name the kind and the
// platform call that closes it.
#ifndef UNINSTALL_PLATFORM_SCOPED_HANDLE_H_
#define UNINSTALL_PLATFORM_SCOPED_HANDLE_H_

#include <utility>

#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/security.h"

namespace uninstall {

template <class Traits>
class ScopedHandle {
 public:
  using Value = typename Traits::Value;
  using Owner = typename Traits::Owner;

  ScopedHandle() = default;
  ScopedHandle(Owner& owner, Value handle) : owner_(&owner), handle_(handle) {}
  ~ScopedHandle() { Close(); }
  ScopedHandle(ScopedHandle&& other) noexcept
      : owner_(other.owner_), handle_(std::exchange(other.handle_, Value())) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) {
      Close();
      owner_ = other.owner_;
      handle_ = std::exchange(other.handle_, Value());
    }
    return *this;
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  [[nodiscard]] bool valid() const { return handle_.valid(); }
  [[nodiscard]] Value get() const { return handle_; }

  void Close() {
    if (handle_.valid()) Traits::Close(*owner_, std::exchange(handle_, Value()));
  }

 private:
  Owner* owner_ = nullptr;
  Value handle_;
};

struct SearchTraits {
  using Value = SearchHandle;
  using Owner = FileSystem;
  static void Close(FileSystem& fs, SearchHandle search) { fs.CloseSearch(search); }
};
struct FileTraits {
  using Value = FileHandle;
  using Owner = FileSystem;
  static void Close(FileSystem& fs, FileHandle file) { fs.CloseFile(file); }
};
struct NodeTraits {
  using Value = NodeHandle;
  using Owner = FileSystem;
  static void Close(FileSystem& fs, NodeHandle node) { fs.CloseNode(node); }
};
struct MutexTraits {
  using Value = MutexHandle;
  using Owner = Processes;
  static void Close(Processes& processes, MutexHandle mutex) { processes.CloseMutex(mutex); }
};
struct ProcessListTraits {
  using Value = ProcessListHandle;
  using Owner = Processes;
  static void Close(Processes& processes, ProcessListHandle list) {
    processes.CloseProcessList(list);
  }
};
struct PipeTraits {
  using Value = PipeHandle;
  using Owner = Processes;
  static void Close(Processes& processes, PipeHandle end) { processes.ClosePipe(end); }
};
struct ProcessTraits {
  using Value = ProcessHandle;
  using Owner = Processes;
  static void Close(Processes& processes, ProcessHandle process) {
    processes.CloseProcessHandle(process);
  }
};
struct KeyTraits {
  using Value = RegistryHandle;
  using Owner = Registry;
  static void Close(Registry& registry, RegistryHandle key) { registry.CloseKey(key); }
};
struct ServiceManagerTraits {
  using Value = ServiceManagerHandle;
  using Owner = Security;
  static void Close(Security& security, ServiceManagerHandle manager) {
    security.CloseServiceManager(manager);
  }
};
struct TokenTraits {
  using Value = LogonToken;
  using Owner = Security;
  static void Close(Security& security, LogonToken token) { security.CloseToken(token); }
};

using ScopedSearch = ScopedHandle<SearchTraits>;
using ScopedFile = ScopedHandle<FileTraits>;
using ScopedNode = ScopedHandle<NodeTraits>;
using ScopedMutex = ScopedHandle<MutexTraits>;
using ScopedProcessList = ScopedHandle<ProcessListTraits>;
using ScopedPipe = ScopedHandle<PipeTraits>;
using ScopedProcess = ScopedHandle<ProcessTraits>;
using ScopedKey = ScopedHandle<KeyTraits>;
using ScopedServiceManager = ScopedHandle<ServiceManagerTraits>;
using ScopedToken = ScopedHandle<TokenTraits>;

}  // namespace uninstall

#endif  // UNINSTALL_PLATFORM_SCOPED_HANDLE_H_
