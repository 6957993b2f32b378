#include <windows.h>

#include "core/temp_directory_platform.h"

namespace {
constexpr DWORD kTempPathBufferLength = 261;
}

std::optional<std::filesystem::path> systemTempDirectory(uint32_t& lastError) {
  wchar_t buffer[kTempPathBufferLength];
  const DWORD length = GetTempPathW(kTempPathBufferLength, buffer);
  if (length > 0 && length < kTempPathBufferLength) {
    lastError = 0;
    return std::filesystem::path(std::wstring(buffer, length));
  }
  lastError = GetLastError();
  return std::nullopt;
}

uint32_t currentThreadNumericId() { return GetCurrentThreadId(); }

bool isPrivateDirectoryOfUser(const std::filesystem::path& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
         (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

std::error_code createPrivateDirectory(const std::filesystem::path& path) {
  // The user's temporary directory is already private to the user; the new
  // directory inherits its permissions.
  if (CreateDirectoryW(path.c_str(), nullptr)) return {};
  const DWORD error = GetLastError();
  if (error == ERROR_ALREADY_EXISTS) return std::make_error_code(std::errc::file_exists);
  return std::error_code(static_cast<int>(error), std::system_category());
}
