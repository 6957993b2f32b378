#include "core/full_path.h"

std::optional<std::filesystem::path> fullPathName(const std::filesystem::path& path) {
  std::error_code error;
  std::filesystem::path full = std::filesystem::absolute(path, error);
  if (error || full.empty()) return std::nullopt;
  return full;
}
