#include "core/log_file.h"

#include <windows.h>

#include <mutex>

namespace {
// Windows appends through a FILE_APPEND_DATA handle at the end of the file as
// one step, but wine, where the Windows build is tested, seeks to the end and
// then writes, so two threads can land on the same offset and one line is
// lost. Serialising this process's own appends closes that gap everywhere.
std::mutex appendMutex;
}  // namespace

void appendToFile(const std::filesystem::path& file, std::string_view bytes) {
  const std::lock_guard<std::mutex> lock(appendMutex);
  HANDLE handle = CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(handle);
}
