#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "core/session_directory_lock.h"

std::error_code SessionDirectoryLock::acquire(const std::filesystem::path& directory) {
  release();
  const std::filesystem::path file = directory / kFileName;
  const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return std::error_code(errno, std::generic_category());
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    return std::error_code(error, std::generic_category());
  }
  handle_ = fd;
  return {};
}

void SessionDirectoryLock::release() {
  if (!held()) return;
  ::close(static_cast<int>(handle_));  // closing drops the flock
  handle_ = kNoHandle;
}

bool SessionDirectoryLock::isHeldElsewhere(const std::filesystem::path& directory) {
  const std::filesystem::path file = directory / kFileName;
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return false;
  const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);
  return held;
}
