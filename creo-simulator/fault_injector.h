// Lets a test make any simulated toolkit operation throw any toolkit exception.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

namespace creosim {

class FaultInjector {
 public:
  // The next `count` calls of `operation` (e.g. "pfcBaseSession::GetModelWindow")
  // throw the toolkit exception named `exceptionClass` (e.g. "pfcXToolkitNotFound").
  // A count below 0 makes every call fail until clear().
  void failNext(const std::string& operation, const std::string& exceptionClass, int count = 1);
  void clear();

  // Called at the top of every simulated operation: throws when a fault is armed.
  // Cheap when none is: large assemblies make millions of these calls.
  void check(std::string_view operation);

 private:
  struct Fault {
    std::string exceptionClass;
    int remaining;
  };
  std::atomic<bool> armed_{false};  // whether faults_ holds anything; read without the lock
  std::mutex mutex_;
  std::map<std::string, Fault, std::less<>> faults_;
};

}  // namespace creosim
