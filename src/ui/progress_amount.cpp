#include "ui/progress_amount.h"

#include <algorithm>

namespace uninstall {

void ProgressAmount::Done() {
  if (pending_ == 0) return;
  position_ += (kBeforeEnd - position_) / static_cast<double>(pending_);
  --pending_;
}

void ProgressAmount::Creep() {
  if (position_ >= kBeforeEnd) return;
  position_ =
      std::min<double>(kBeforeEnd, position_ + std::max(1.0, (kBeforeEnd - position_) / 100));
}

}  // namespace uninstall
