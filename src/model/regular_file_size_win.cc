#include "model/regular_file_size.h"

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
