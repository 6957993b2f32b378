#include "model/regular_file_size.h"

#ifdef _WIN32

#include <filesystem>
#include <system_error>

#include "model/path_text.h"

// The UTF-16 conversion and long-path handling are the library's.
std::optional<std::uintmax_t> regularFileSize(const std::string& utf8Path) {
  std::error_code error;
  const std::uintmax_t bytes = std::filesystem::file_size(pathFromUtf8(utf8Path), error);
  if (error) return std::nullopt;
  return bytes;
}

#else

#include <sys/stat.h>

std::optional<std::uintmax_t> regularFileSize(const std::string& utf8Path) {
  struct stat status{};
  if (::stat(utf8Path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
  return static_cast<std::uintmax_t>(status.st_size);
}

#endif
