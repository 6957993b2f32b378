#include "fault_injector.h"

#include <stdexcept>

#include "host/toolkit_errors.h"

namespace creosim {

void FaultInjector::failNext(const std::string& operation, const std::string& exceptionClass, int count) {
  std::lock_guard lock(mutex_);
  faults_[operation] = Fault{exceptionClass, count};
  armed_.store(true, std::memory_order_release);
}

void FaultInjector::clear() {
  std::lock_guard lock(mutex_);
  faults_.clear();
  armed_.store(false, std::memory_order_release);
}

void FaultInjector::check(std::string_view operation) {
  if (!armed_.load(std::memory_order_acquire)) return;
  std::string exceptionClass;
  {
    std::lock_guard lock(mutex_);
    auto it = faults_.find(operation);
    if (it == faults_.end()) return;
    exceptionClass = it->second.exceptionClass;
    if (it->second.remaining > 0 && --it->second.remaining == 0) {
      faults_.erase(it);
      armed_.store(!faults_.empty(), std::memory_order_release);
    }
  }
  if (!throwToolkitError(exceptionClass, std::string(operation)))
    throw std::invalid_argument("unknown toolkit exception class: " + exceptionClass);
}

}  // namespace creosim
