// How far a removal is, as a bar shows it: a position from 0 to kRange that never moves back.
// Each piece of work done takes its share of what is left before the end, among the pieces still
// expected, so that pieces learnt of late (the entries of a tree as it is listed) slow the bar
// down instead of moving it back. The end itself is reached only when the removal has ended.
#ifndef UNINSTALL_UI_PROGRESS_AMOUNT_H_
#define UNINSTALL_UI_PROGRESS_AMOUNT_H_

#include <cstdint>

namespace uninstall {

class ProgressAmount {
 public:
  static constexpr std::uint32_t kRange = 10000;
  // Where the pieces of work take the bar at most: the last step is the end of the removal.
  static constexpr std::uint32_t kBeforeEnd = kRange - kRange / 100;

  void Expect(std::uint64_t items) { pending_ += items; }
  void Done();
  // A second went by without a piece done (a program waited for): a hundredth of what is left
  // before the end, at least one step of the bar while any is left.
  void Creep();
  void Finish() { position_ = kRange; }
  std::uint32_t position() const { return static_cast<std::uint32_t>(position_); }

 private:
  double position_ = 0;
  std::uint64_t pending_ = 0;
};

}  // namespace uninstall

#endif  // UNINSTALL_UI_PROGRESS_AMOUNT_H_
