// What a long step calls between its small pieces of work (a file deleted, a moment of waiting
// for a program), so that the program's window can stay alive meanwhile.
#ifndef UNINSTALL_COMMON_HEARTBEAT_H_
#define UNINSTALL_COMMON_HEARTBEAT_H_

#include <string>

namespace uninstall {

class Heartbeat {
 public:
  virtual ~Heartbeat() = default;
  virtual void Beat() = 0;
  // The newest status text of the step, shown at the latest with the next beat that lets the
  // window breathe; a text overtaken before then is never drawn.
  virtual void ShowStatus(const std::string& text) = 0;
};

}  // namespace uninstall

#endif  // UNINSTALL_COMMON_HEARTBEAT_H_
