// Lets a test, a script or a person make any simulated toolkit operation throw
// any toolkit exception, or fail at processor level.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace creosim {

// Thrown where Creo would raise a structured (processor-level) exception: it is
// neither an xthrowable nor a std::exception.
struct SimulatedProcessorFault {
  unsigned code = 0xC0000005u;
};

// The name under which a fault raises SimulatedProcessorFault instead of a toolkit exception.
inline constexpr const char* kProcessorFaultName = "SimulatedProcessorFault";

class FaultInjector {
 public:
  // Every toolkit operation the host declares and the simulator serves, by the
  // name its faults are armed under (e.g. "pfcBaseSession::GetModelWindow").
  static const std::vector<std::string>& operations();
  // What a fault can raise: the toolkit's exception classes, then kProcessorFaultName.
  static std::vector<std::string> exceptions();

  // The next `count` calls of `operation` throw the exception named `exceptionClass`
  // (e.g. "pfcXToolkitNotFound"), once `skip` calls of it have passed. A count
  // below 0 makes every call fail until clear(). Throws std::invalid_argument
  // for an operation or an exception it does not know.
  void failNext(const std::string& operation, const std::string& exceptionClass, int count = 1, int skip = 0);
  // After `calls` more toolkit operations (of any kind, on any thread), runs
  // `action` once, at the top of the next one: a file can vanish or a service
  // stop at an exact moment of an operation. Replaces an action not yet run.
  void runAfterCalls(int calls, std::function<void()> action);
  // Whether the action of runAfterCalls is still waiting for its moment.
  bool actionPending() const;
  // Disarms every fault and pending action and forgets how many fired.
  void clear();
  // How many calls failed because of an armed fault since the last clear().
  int fired() const { return fired_.load(); }
  // While recording, every call is counted by operation (faults or not), so
  // that a fault can be armed on a later call than the first.
  void recordCalls(bool on);
  std::map<std::string, int> callCounts() const;

  // Called at the top of every simulated operation: notes a call made from any
  // thread but Creo's user-interface thread (the one that made this injector),
  // and throws when a fault is armed. Cheap when none is and nothing is
  // recorded: large assemblies make millions of these calls.
  void check(std::string_view operation);
  // One line per operation called from another thread; Creo's toolkit may only
  // be called from its user-interface thread.
  std::vector<std::string> offThreadCalls() const;

 private:
  struct Fault {
    std::string exceptionClass;
    int remaining;
    int skip;  // calls that pass before the first that fails
  };
  void updateActive();
  void noteOffThreadCall(std::string_view operation);

  const std::thread::id userInterfaceThread_ = std::this_thread::get_id();
  std::atomic<bool> active_{false};  // faults or an action armed, or calls recorded; read without the lock
  std::atomic<int> fired_{0};
  mutable std::mutex mutex_;
  std::map<std::string, Fault, std::less<>> faults_;
  std::function<void()> pendingAction_;
  int callsBeforeAction_ = 0;
  bool recording_ = false;
  std::map<std::string, int, std::less<>> calls_;
  std::set<std::string, std::less<>> offThreadOperations_;
};

}  // namespace creosim
