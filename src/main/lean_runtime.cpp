// The C++ runtime's failure paths, replaced for the product. The program throws nothing and
// catches nothing; the runtime's own versions of these would bring exception handling, a name
// demangler and formatted printing into the executable for paths that never run in a sound
// run. What they stand for (no memory, a broken invariant of the library) ends the process
// quietly, with the exit code every run has.
#include <windows.h>

#include <cstdlib>
#include <new>

namespace {

[[noreturn]] void EndTheProcess() {
  TerminateProcess(GetCurrentProcess(), 0);
  for (;;) {
  }
}

void* Allocate(std::size_t size) { return std::malloc(size != 0 ? size : 1); }

void* AllocateOrEnd(std::size_t size) {
  void* memory = Allocate(size);
  if (memory == nullptr) EndTheProcess();
  return memory;
}

}  // namespace

namespace __gnu_cxx {
void __verbose_terminate_handler() { EndTheProcess(); }
}  // namespace __gnu_cxx

namespace std {
void __throw_bad_exception() { EndTheProcess(); }
void __throw_bad_alloc() { EndTheProcess(); }
void __throw_bad_array_new_length() { EndTheProcess(); }
void __throw_bad_cast() { EndTheProcess(); }
void __throw_bad_typeid() { EndTheProcess(); }
void __throw_logic_error(const char*) { EndTheProcess(); }
void __throw_domain_error(const char*) { EndTheProcess(); }
void __throw_invalid_argument(const char*) { EndTheProcess(); }
void __throw_length_error(const char*) { EndTheProcess(); }
void __throw_out_of_range(const char*) { EndTheProcess(); }
void __throw_out_of_range_fmt(const char*, ...) { EndTheProcess(); }
void __throw_runtime_error(const char*) { EndTheProcess(); }
void __throw_range_error(const char*) { EndTheProcess(); }
void __throw_overflow_error(const char*) { EndTheProcess(); }
void __throw_underflow_error(const char*) { EndTheProcess(); }
void __throw_system_error(int) { EndTheProcess(); }
void __throw_bad_function_call() { EndTheProcess(); }
}  // namespace std

// The replaceable allocation functions: the nothrow forms answer no memory with null, which the
// reader of uninstall.dat takes as a file it cannot read; the others end the process.
void* operator new(std::size_t size) { return AllocateOrEnd(size); }
void* operator new[](std::size_t size) { return AllocateOrEnd(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
