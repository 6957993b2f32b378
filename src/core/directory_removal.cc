#include "core/directory_removal.h"

#include <chrono>
#include <thread>

namespace {

constexpr int kRemoveRetries = 10;

bool isTransientRemovalError(const std::error_code& error) {
  return error == std::errc::directory_not_empty || error == std::errc::permission_denied;
}

}  // namespace

std::error_code removeEmptiedDirectory(const std::function<std::error_code()>& removeOnce,
                                       DirectoryRemovalResult& result) {
  std::error_code error;
  for (int attempt = 0; attempt < kRemoveRetries; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(5 * attempt));
    error = removeOnce();
    if (!error) {
      ++result.removedEntries;
      return {};
    }
    if (error == std::errc::no_such_file_or_directory) return {};  // removed by someone else meanwhile
    if (!isTransientRemovalError(error)) break;
  }
  return error;
}
