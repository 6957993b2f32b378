#include "signin/auth_flow_runner.h"

#include <algorithm>

ThreadAuthFlowRunner::ThreadAuthFlowRunner() : completion_(std::make_shared<Completion>()) {}

ThreadAuthFlowRunner::~ThreadAuthFlowRunner() {
  joinFinished();
  for (Worker& worker : workers_) worker.thread.detach();
}

void ThreadAuthFlowRunner::run(Task task) {
  joinFinished();
  std::list<Worker> started(1);
  Worker& worker = started.front();
  worker.thread = std::thread([completion = completion_, done = worker.done, stop = worker.stop,
                               task = std::move(task)]() mutable {
    task(stop);
    // The task's captures (the client among them) go before the thread counts as done.
    task = nullptr;
    std::lock_guard lock(completion->mutex);
    *done = true;
    completion->finished.notify_all();
  });
  workers_.splice(workers_.end(), started);
}

void ThreadAuthFlowRunner::requestStop() {
  for (Worker& worker : workers_) worker.stop.request();
}

bool ThreadAuthFlowRunner::waitForAll(std::chrono::milliseconds limit) {
  bool allDone;
  {
    std::unique_lock lock(completion_->mutex);
    allDone = completion_->finished.wait_for(lock, limit, [this] {
      return std::all_of(workers_.begin(), workers_.end(), [](const Worker& worker) { return *worker.done; });
    });
  }
  joinFinished();
  return allDone;
}

void ThreadAuthFlowRunner::joinFinished() {
  std::lock_guard lock(completion_->mutex);
  workers_.remove_if([](Worker& worker) {
    if (!*worker.done) return false;
    worker.thread.join();
    return true;
  });
}
