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

// A kind of handle, the platform interface that hands it out, and its call that closes it.
template <class HandleValue, class HandleOwner, void (HandleOwner::*kClose)(HandleValue)>
struct ClosedBy {
  using Value = HandleValue;
  using Owner = HandleOwner;
  static void Close(HandleOwner& owner, HandleValue handle) { (owner.*kClose)(handle); }
};

using ScopedSearch = ScopedHandle<ClosedBy<SearchHandle, FileSystem, &FileSystem::CloseSearch>>;
using ScopedFile = ScopedHandle<ClosedBy<FileHandle, FileSystem, &FileSystem::CloseFile>>;
using ScopedNode = ScopedHandle<ClosedBy<NodeHandle, FileSystem, &FileSystem::CloseNode>>;
using ScopedMutex = ScopedHandle<ClosedBy<MutexHandle, Processes, &Processes::CloseMutex>>;
using ScopedProcessList =
    ScopedHandle<ClosedBy<ProcessListHandle, Processes, &Processes::CloseProcessList>>;
using ScopedPipe = ScopedHandle<ClosedBy<PipeHandle, Processes, &Processes::ClosePipe>>;
using ScopedProcess =
    ScopedHandle<ClosedBy<ProcessHandle, Processes, &Processes::CloseProcessHandle>>;
using ScopedKey = ScopedHandle<ClosedBy<RegistryHandle, Registry, &Registry::CloseKey>>;
using ScopedServiceManager =
    ScopedHandle<ClosedBy<ServiceManagerHandle, Security, &Security::CloseServiceManager>>;
using ScopedToken = ScopedHandle<ClosedBy<LogonToken, Security, &Security::CloseToken>>;

}  // namespace uninstall

#endif  // UNINSTALL_PLATFORM_SCOPED_HANDLE_H_
