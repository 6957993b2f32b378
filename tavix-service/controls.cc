#include "controls.h"

namespace tavixservice {

void Controls::failNext(int count, int status) {
  std::lock_guard lock(mutex_);
  remainingFailures_ = count;
  failureStatus_ = status;
}

std::optional<int> Controls::takeFailure() {
  std::lock_guard lock(mutex_);
  if (remainingFailures_ <= 0) return std::nullopt;
  --remainingFailures_;
  return failureStatus_;
}

}  // namespace tavixservice
