// The test controls' state: injected failures and delays.
#pragma once

#include <atomic>
#include <mutex>
#include <optional>

namespace tavixservice {

class Controls {
 public:
  void failNext(int count, int status);
  // The status the next call must fail with, if a failure is armed; counts it down.
  std::optional<int> takeFailure();
  void setDelayMs(int ms) { delayMs_ = ms; }
  int delayMs() const { return delayMs_; }

 private:
  std::mutex mutex_;
  int remainingFailures_ = 0;
  int failureStatus_ = 0;
  std::atomic<int> delayMs_{0};
};

}  // namespace tavixservice
