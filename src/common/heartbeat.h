// What a long step calls between its small pieces of work (a file deleted, a moment of waiting
// for a program), so that the program's window can stay alive meanwhile.
#ifndef UNINSTALL_COMMON_HEARTBEAT_H_
#define UNINSTALL_COMMON_HEARTBEAT_H_

namespace uninstall {

class Heartbeat {
 public:
  virtual ~Heartbeat() = default;
  virtual void Beat() = 0;
};

}  // namespace uninstall

#endif  // UNINSTALL_COMMON_HEARTBEAT_H_
