#include "controls.h"

#include <chrono>
#include <utility>

namespace tavixservice {

void Controls::failNext(int count, int status, const std::string& call) {
  std::lock_guard lock(mutex_);
  remainingFailures_ = count;
  failureStatus_ = status;
  failureCall_ = call;
}

std::optional<int> Controls::takeFailure(const std::string& call) {
  std::lock_guard lock(mutex_);
  if (remainingFailures_ <= 0 || (!failureCall_.empty() && failureCall_ != call)) return std::nullopt;
  --remainingFailures_;
  return failureStatus_;
}

void Controls::holdNext(const std::string& call, int ms) {
  std::lock_guard lock(mutex_);
  heldCall_ = call;
  holdMs_ = ms;
}

void Controls::holdIfArmed(const std::string& call) {
  std::unique_lock lock(mutex_);
  if (heldCall_.empty() || heldCall_ != call) return;
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(holdMs_);
  heldCall_.clear();
  releasedChanged_.wait_until(lock, until, [this] { return released_; });
}

// A held call must not keep the server from stopping.
void Controls::releaseHolds() {
  {
    std::lock_guard lock(mutex_);
    released_ = true;
  }
  releasedChanged_.notify_all();
}

void Controls::breakNextFile(ArmedFileBreak armed) {
  std::lock_guard lock(mutex_);
  fileBreak_ = armed;
}

std::optional<ArmedFileBreak> Controls::takeFileBreak() {
  std::lock_guard lock(mutex_);
  return std::exchange(fileBreak_, std::nullopt);
}

}  // namespace tavixservice
