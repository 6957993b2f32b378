#include "core/full_path.h"

#ifdef _WIN32

#include <windows.h>

#include <string>

std::optional<std::filesystem::path> fullPathName(const std::filesystem::path& path) {
  std::wstring full(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return std::nullopt;
    // Too small a buffer is answered with the size needed, terminator included.
    if (length < full.size()) {
      full.resize(length);
      return std::filesystem::path(full);
    }
    full.resize(length);
  }
}

#else

std::optional<std::filesystem::path> fullPathName(const std::filesystem::path& path) {
  std::error_code error;
  std::filesystem::path full = std::filesystem::absolute(path, error);
  if (error || full.empty()) return std::nullopt;
  return full;
}

#endif
