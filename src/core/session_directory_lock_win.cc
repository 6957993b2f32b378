#include <windows.h>

#include "core/session_directory_lock.h"

namespace {

HANDLE openLockFile(const std::filesystem::path& file, DWORD disposition) {
  // Shared for deletion so that the session's own clean-up never trips over it;
  // a link in its place is opened itself, never followed.
  return CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, disposition,
                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

bool lockWhole(HANDLE file) {
  OVERLAPPED at = {};
  return LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &at);
}

}  // namespace

std::error_code SessionDirectoryLock::acquire(const std::filesystem::path& directory) {
  release();
  HANDLE file = openLockFile(directory / kFileName, OPEN_ALWAYS);
  if (file == INVALID_HANDLE_VALUE) return std::error_code(static_cast<int>(GetLastError()), std::system_category());
  if (!lockWhole(file)) {
    const DWORD error = GetLastError();
    CloseHandle(file);
    return std::error_code(static_cast<int>(error), std::system_category());
  }
  handle_ = reinterpret_cast<intptr_t>(file);
  return {};
}

void SessionDirectoryLock::release() {
  if (!held()) return;
  HANDLE file = reinterpret_cast<HANDLE>(handle_);
  OVERLAPPED at = {};
  UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &at);
  CloseHandle(file);
  handle_ = kNoHandle;
}

bool SessionDirectoryLock::isHeldElsewhere(const std::filesystem::path& directory) {
  HANDLE file = openLockFile(directory / kFileName, OPEN_EXISTING);
  if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
  const bool held = !lockWhole(file);
  if (!held) {
    OVERLAPPED at = {};
    UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &at);
  }
  CloseHandle(file);
  return held;
}
