#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "core/directory_removal.h"

namespace {

std::error_code lastError() { return std::error_code(errno, std::generic_category()); }

// The names in the directory open as `fd` (which it takes over), read whole
// before anything is removed from it.
std::vector<std::string> readNames(int fd, std::error_code& error) {
  std::vector<std::string> names;
  DIR* directory = ::fdopendir(fd);
  if (!directory) {
    error = lastError();
    ::close(fd);
    return names;
  }
  errno = 0;
  while (const dirent* entry = ::readdir(directory)) {
    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
      names.emplace_back(entry->d_name);
    errno = 0;
  }
  if (errno != 0) error = lastError();
  ::closedir(directory);
  return names;
}

// Removes `name` from the directory open as `parent`. Every step goes through
// an open directory and opens nothing through a link, so an entry swapped for
// a link at any moment is removed itself and its target never touched.
void removeAt(int parent, const char* name, DirectoryRemovalResult& result) {
  if (::unlinkat(parent, name, 0) == 0) {
    ++result.removedEntries;
    return;
  }
  if (errno == ENOENT) return;
  // Linux answers EISDIR for a directory, other systems EPERM.
  if (errno != EISDIR && errno != EPERM) {
    result.error = lastError();
    return;
  }
  const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    if (errno != ENOENT) result.error = lastError();
    return;
  }
  std::error_code readError;
  const std::vector<std::string> names = readNames(::dup(fd), readError);
  for (const std::string& child : names) {
    if (readError || result.error) break;
    removeAt(fd, child.c_str(), result);
  }
  ::close(fd);
  if (readError && !result.error) result.error = readError;
  if (result.error) return;
  result.error = removeEmptiedDirectory(
      [parent, name] { return ::unlinkat(parent, name, AT_REMOVEDIR) == 0 ? std::error_code() : lastError(); },
      result);
}

}  // namespace

DirectoryRemovalResult removeDirectoryTree(const std::filesystem::path& path) {
  DirectoryRemovalResult result;
  const std::filesystem::path entry = path.has_filename() ? path : path.parent_path();
  const std::filesystem::path parentPath = entry.has_parent_path() ? entry.parent_path() : ".";
  const int parent = ::open(parentPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (parent < 0) {
    if (errno != ENOENT) result.error = lastError();
    return result;
  }
  removeAt(parent, entry.filename().c_str(), result);
  ::close(parent);
  return result;
}
