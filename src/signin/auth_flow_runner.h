// Runs the wait for the end of the browser sign-in away from Creo's UI thread.
#pragma once

#include <functional>

class IAuthFlowRunner {
 public:
  virtual ~IAuthFlowRunner() = default;
  virtual void run(std::function<void()> task) = 0;
};

// One detached thread per task; nobody joins it. Throws std::system_error when
// the thread cannot be started.
class ThreadAuthFlowRunner : public IAuthFlowRunner {
 public:
  void run(std::function<void()> task) override;
};
