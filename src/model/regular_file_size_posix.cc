#include "model/regular_file_size.h"

#include <sys/stat.h>

std::optional<std::uintmax_t> regularFileSize(const std::string& utf8Path) {
  struct stat status{};
  if (::stat(utf8Path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
  return static_cast<std::uintmax_t>(status.st_size);
}
