// Runs the wait for the end of the browser sign-in away from Creo's UI thread.
#pragma once

#include <functional>

// One detached thread per task; nobody joins it. Throws std::system_error when
// the thread cannot be started.
class ThreadAuthFlowRunner {
 public:
  void run(std::function<void()> task);
};
