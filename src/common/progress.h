// Where a removal step reports what it does: the path or key it handles, and a beat between its
// small pieces of work (a file deleted, a moment of waiting for a program), so that the window,
// when there is one, stays alive meanwhile; and how much work there is: pieces announced as they
// become known (the entries of uninstall.dat's groups, the entries of a directory as it is
// listed) and done. Passed to every step that takes time.
#ifndef UNINSTALL_COMMON_PROGRESS_H_
#define UNINSTALL_COMMON_PROGRESS_H_

#include <cstdint>
#include <string>

namespace uninstall {

class Progress {
 public:
  virtual ~Progress() = default;
  // The path or key now being handled.
  virtual void Show(const std::string& subject) = 0;
  // A small piece of work is done.
  virtual void Beat() = 0;
  // `items` more pieces of work are to come. Nothing by default: only a window counts.
  virtual void Expect(std::uint64_t items) { static_cast<void>(items); }
  // One of the pieces announced is done (or passed over).
  virtual void Done() {}
};

// A run without a window: nothing to show, nothing to keep alive.
class NoProgress final : public Progress {
 public:
  void Show(const std::string&) override {}
  void Beat() override {}
};

// The status bar's text for `subject`: two blanks, then the subject.
inline std::string StatusText(const std::string& subject) { return "  " + subject; }

}  // namespace uninstall

#endif  // UNINSTALL_COMMON_PROGRESS_H_
