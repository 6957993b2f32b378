#include "core/log_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

void appendToFile(const std::filesystem::path& file, std::string_view bytes) {
  const int fd = open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return;
  // One write lands whole at the end of the file; the loop only finishes a
  // write that a signal or a full disk cut short.
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) break;
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  close(fd);
}
