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
  const fs::file_status status = fs::symlink_status(path, error);
  if (error || !fs::exists(status)) {
    if (error && error != std::errc::no_such_file_or_directory) result.error = error;
    return;
  }
  if (fs::remove(path, error)) {
    ++result.removedEntries;
    return;
  }
  // Only a directory can be helped by emptying it first. (Windows reports a
  // non-empty directory as "access denied" here, so the answer is not asked.)
  if (!fs::is_directory(status)) {
    result.error = error;
    return;
  }

  error.clear();
  fs::directory_iterator it(path, error);
  for (const fs::directory_iterator end; !error && it != end; it.increment(error)) {
    removeInto(it->path(), result);
    if (result.error) return;
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
