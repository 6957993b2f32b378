#include <windows.h>

#include "core/directory_removal.h"

namespace fs = std::filesystem;

namespace {

// Junctions and symbolic links lead elsewhere: they are removed, never entered.
bool isReparsePoint(const fs::path& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
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
  if (!fs::is_directory(status) || isReparsePoint(path)) {
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

  result.error = removeEmptiedDirectory(
      [&path] {
        std::error_code removeError;
        if (!fs::remove(path, removeError) && !removeError)
          removeError = std::make_error_code(std::errc::no_such_file_or_directory);
        return removeError;
      },
      result);
}

}  // namespace

DirectoryRemovalResult removeDirectoryTree(const fs::path& path) {
  DirectoryRemovalResult result;
  removeInto(path, result);
  return result;
}
