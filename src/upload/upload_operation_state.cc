#include "upload/upload_operation_state.h"

UploadOperationState::Snapshot UploadOperationState::snapshot() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return texts_;
}

void UploadOperationState::setStatus(std::string primary, std::string secondary) {
  std::lock_guard<std::mutex> lock(mutex_);
  texts_.primaryStatus = std::move(primary);
  texts_.secondaryStatus = std::move(secondary);
}

void UploadOperationState::setFailure(UploadFailure failure) {
  std::lock_guard<std::mutex> lock(mutex_);
  texts_.failure = std::move(failure);
}

void UploadOperationState::setAddresses(std::string fileAddress, std::string workspaceAddress) {
  std::lock_guard<std::mutex> lock(mutex_);
  texts_.fileAddress = std::move(fileAddress);
  texts_.workspaceAddress = std::move(workspaceAddress);
}

bool UploadOperationState::waitUntilDone(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(doneMutex_);
  return doneChanged_.wait_for(lock, timeout, [this] { return done(); });
}

void UploadOperationState::markDone() {
  {
    // Under the waiters' lock, so that a waiter between its test and its wait
    // cannot miss the change.
    std::lock_guard<std::mutex> lock(doneMutex_);
    done_.store(true, std::memory_order_release);
  }
  doneChanged_.notify_all();
}
