// The test controls' state: injected failures, delays, held answers, and
// broken file transfers. Calls are named as the routes name them ("me",
// "workspaces", "root", "revisions", "announce", "file", "complete", "token").
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

namespace tavixservice {

// How the next file's transfer breaks once `afterBytes` of it have arrived.
enum class FileBreak { Reset, Crash };
struct ArmedFileBreak {
  FileBreak how = FileBreak::Reset;
  int64_t afterBytes = 0;
};

class Controls {
 public:
  // `call` empty: any API or token call.
  void failNext(int count, int status, const std::string& call);
  // The status the call must fail with, if a failure is armed for it; counts it down.
  std::optional<int> takeFailure(const std::string& call);

  void setDelayMs(int ms) { delayMs_ = ms; }
  int delayMs() const { return delayMs_; }

  // The next call of that name waits `ms` before it is handled.
  void holdNext(const std::string& call, int ms);
  // Waits as armed for this call; returns early once the service stops.
  void holdIfArmed(const std::string& call);
  void releaseHolds();

  void breakNextFile(ArmedFileBreak armed);
  std::optional<ArmedFileBreak> takeFileBreak();

 private:
  std::mutex mutex_;
  int remainingFailures_ = 0;
  int failureStatus_ = 0;
  std::string failureCall_;
  std::atomic<int> delayMs_{0};
  std::string heldCall_;
  int holdMs_ = 0;
  bool released_ = false;
  std::condition_variable releasedChanged_;
  std::optional<ArmedFileBreak> fileBreak_;
};

}  // namespace tavixservice
