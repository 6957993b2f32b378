#include "upload/upload_operation_state.h"

UploadOperationState::Snapshot UploadOperationState::snapshot() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return snapshot_;
}

void UploadOperationState::setPhase(UploadPhase phase) {
  std::lock_guard<std::mutex> lock(mutex_);
  snapshot_.phase = phase;
}

void UploadOperationState::setFailure(UploadFailure failure) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failure.kind != UploadFailureKind::None) snapshot_.phase = UploadPhase::Failed;
  snapshot_.failure = std::move(failure);
}

void UploadOperationState::setAddresses(std::string fileAddress, std::string workspaceAddress) {
  std::lock_guard<std::mutex> lock(mutex_);
  snapshot_.fileAddress = std::move(fileAddress);
  snapshot_.workspaceAddress = std::move(workspaceAddress);
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
