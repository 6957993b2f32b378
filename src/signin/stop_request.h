// Tells a background task that its sign-in was replaced or that the add-in is
// going away. Copies share one flag, so the runner keeps one and the task another.
#pragma once

#include <atomic>
#include <memory>

class StopRequest {
 public:
  bool requested() const { return flag_->load(); }
  void request() { flag_->store(true); }

 private:
  std::shared_ptr<std::atomic<bool>> flag_ = std::make_shared<std::atomic<bool>>(false);
};
