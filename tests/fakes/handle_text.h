// A handle's number as the fakes write it into the call log.
#ifndef UNINSTALL_TESTS_FAKES_HANDLE_TEXT_H_
#define UNINSTALL_TESTS_FAKES_HANDLE_TEXT_H_

#include <string>

#include "platform/handle.h"

namespace uninstall {

template <class Kind>
std::string HandleText(Handle<Kind> handle) {
  return std::to_string(handle.value());
}

}  // namespace uninstall

#endif  // UNINSTALL_TESTS_FAKES_HANDLE_TEXT_H_
