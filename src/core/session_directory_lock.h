// Marks a session directory as in use: a lock file ("tavix.lock") inside it,
// kept open and locked for as long as the directory is the session's. Another
// Creo session's stale clean-up leaves a directory alone while its lock is held;
// the operating system drops the lock when the holding process ends.
#pragma once

#include <cstdint>
#include <filesystem>
#include <system_error>

class SessionDirectoryLock {
 public:
  SessionDirectoryLock() = default;
  ~SessionDirectoryLock() { release(); }
  SessionDirectoryLock(const SessionDirectoryLock&) = delete;
  SessionDirectoryLock& operator=(const SessionDirectoryLock&) = delete;

  // Creates the lock file in `directory` and locks it; releases any earlier lock first.
  std::error_code acquire(const std::filesystem::path& directory);
  void release();
  bool held() const { return handle_ != kNoHandle; }

  // True when some open lock file in `directory` other than the caller's own
  // description holds the lock (a live session, possibly this process's own).
  static bool isHeldElsewhere(const std::filesystem::path& directory);

  static constexpr const char* kFileName = "tavix.lock";

 private:
  static constexpr intptr_t kNoHandle = -1;
  intptr_t handle_ = kNoHandle;
};
