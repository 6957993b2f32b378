#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "core/temp_directory_platform.h"

std::optional<std::filesystem::path> systemTempDirectory(uint32_t& lastError) {
  lastError = 0;
  const char* tmpdir = std::getenv("TMPDIR");
  if (tmpdir && *tmpdir) return std::filesystem::path(tmpdir);
  return std::filesystem::path("/tmp");
}

uint32_t currentThreadNumericId() { return static_cast<uint32_t>(::syscall(SYS_gettid)); }

bool isPrivateDirectoryOfUser(const std::filesystem::path& path) {
  struct stat status;
  if (::lstat(path.c_str(), &status) != 0) return false;
  return S_ISDIR(status.st_mode) && status.st_uid == ::geteuid() && (status.st_mode & 077) == 0;
}

std::error_code createPrivateDirectory(const std::filesystem::path& path) {
  if (::mkdir(path.c_str(), 0700) == 0) return {};
  return std::error_code(errno, std::generic_category());
}
