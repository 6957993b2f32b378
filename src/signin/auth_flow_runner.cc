#include "signin/auth_flow_runner.h"

#include <memory>
#include <thread>

void ThreadAuthFlowRunner::run(std::function<void()> task) {
  // The thread owns the task and frees it when the task returns.
  auto block = std::make_unique<std::function<void()>>(std::move(task));
  std::thread([block = std::move(block)] { (*block)(); }).detach();
}
