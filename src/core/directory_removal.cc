#include "core/directory_removal.h"

#include <chrono>
#include <thread>

namespace fs = std::filesystem;

namespace {

constexpr int kRemoveRetries = 10;

bool isTransientRemovalError(const std::error_code& error) {
  return error == std::errc::directory_not_empty || error == std::errc::permission_denied;
}

void removeInto(const fs::path& path, DirectoryRemovalResult& result) {
  std::error_code error;
  if (fs::remove(path, error)) {
    ++result.removedEntries;
    return;
  }
  if (!error) return;  // already gone
  if (error != std::errc::directory_not_empty) {
    result.error = error;
    return;
  }

  fs::directory_iterator it(path, error);
  for (const fs::directory_iterator end; !error && it != end; it.increment(error)) {
    const fs::path child = it->path();
    const fs::file_status status = fs::symlink_status(child, error);
    if (error) break;
    if (fs::is_directory(status)) {
      removeInto(child, result);
    } else if (fs::remove(child, error)) {
      ++result.removedEntries;
    }
    if (result.error) return;
    if (error) break;
  }
  if (error) {
    result.error = error;
    return;
  }

  for (int attempt = 0; attempt < kRemoveRetries; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(5 * attempt));
    error.clear();
    if (fs::remove(path, error)) {
      ++result.removedEntries;
      return;
    }
    if (!error) return;  // removed by someone else meanwhile
    if (!isTransientRemovalError(error)) break;
  }
  result.error = error;
}

}  // namespace

DirectoryRemovalResult removeDirectoryTree(const fs::path& path) {
  DirectoryRemovalResult result;
  removeInto(path, result);
  return result;
}
