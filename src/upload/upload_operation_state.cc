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
