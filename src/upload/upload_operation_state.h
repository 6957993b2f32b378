// What the upload thread hands back to Creo's UI thread: the phase the upload
// is in, the addresses of the uploaded file and the failure, all under one lock, and
// the done flag, stored last so that whatever it announces is already there.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

enum class UploadFailureKind : uint32_t {
  None = 0,
  WorkspaceNotAccessible = 1,
  SessionExpired = 2,
  UnsupportedModel = 3,
  Other = 4,
};

// Written by the transfer, read by the progress dialog, which derives its
// status texts from it.
enum class UploadPhase { Preparing, Transferring, Complete, Failed };

struct UploadFailure {
  UploadFailureKind kind = UploadFailureKind::None;
  std::string message;
};

class UploadOperationState {
 public:
  struct Snapshot {
    UploadPhase phase = UploadPhase::Preparing;
    std::string fileAddress;
    std::string workspaceAddress;
    UploadFailure failure;
  };

  Snapshot snapshot() const;
  void setPhase(UploadPhase phase);
  // A failure of any kind but None puts the upload in the Failed phase.
  void setFailure(UploadFailure failure);
  void clearFailure() { setFailure({}); }
  void setAddresses(std::string fileAddress, std::string workspaceAddress);

  bool done() const { return done_.load(std::memory_order_acquire); }
  // Returns when the upload thread is done or `timeout` has passed, whichever
  // comes first: the UI thread sleeps between refreshes, but not past the end.
  bool waitUntilDone(std::chrono::milliseconds timeout);
  // The upload thread's last write.
  void markDone();
  void clearDone() { done_.store(false, std::memory_order_release); }

 private:
  mutable std::mutex mutex_;
  Snapshot snapshot_;
  std::atomic<bool> done_{false};
  std::mutex doneMutex_;
  std::condition_variable doneChanged_;
};
