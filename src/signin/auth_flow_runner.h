// Runs the sign-in's waits (the Loading dialog's, the one for the end of the
// browser sign-in) away from Creo's UI thread, on threads the add-in waits for
// before Creo unloads it: code unmapped under a live thread crashes Creo.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

#include "signin/stop_request.h"

class ThreadAuthFlowRunner {
 public:
  // The stop request tells a task that a newer sign-in replaced it or that the
  // add-in is going away: its failure is then a cancellation.
  using Task = std::function<void(StopRequest)>;

  ThreadAuthFlowRunner();
  // Joins the threads that have finished and leaves the others to the process.
  ~ThreadAuthFlowRunner();
  ThreadAuthFlowRunner(const ThreadAuthFlowRunner&) = delete;
  ThreadAuthFlowRunner& operator=(const ThreadAuthFlowRunner&) = delete;

  // Starts the task on a thread of its own. Throws std::system_error when the
  // thread cannot be started.
  void run(Task task);
  // Asks every running task to stop; returns at once.
  void requestStop();
  // Waits at most `limit` for every task to return; false when one still runs.
  bool waitForAll(std::chrono::milliseconds limit);

 private:
  // Shared with the threads, which may outlive the runner.
  struct Completion {
    std::mutex mutex;
    std::condition_variable finished;
  };
  struct Worker {
    std::thread thread;
    StopRequest stop;
    std::shared_ptr<bool> done = std::make_shared<bool>(false);  // under Completion::mutex
  };

  void joinFinished();

  std::shared_ptr<Completion> completion_;
  std::list<Worker> workers_;  // UI thread only
};
