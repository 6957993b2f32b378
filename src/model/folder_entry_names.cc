#include "model/folder_entry_names.h"

namespace fs = std::filesystem;

#ifdef _WIN32

// Long paths and the UTF-16 names are the library's.
void visitFolderEntryNames(const fs::path& folder, const std::function<void(FolderEntryName)>& visit) {
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) visit(entry.path().filename().native());
}

#else

#include <dirent.h>

#include <cerrno>
#include <cstring>
#include <memory>

void visitFolderEntryNames(const fs::path& folder, const std::function<void(FolderEntryName)>& visit) {
  const std::unique_ptr<DIR, int (*)(DIR*)> directory(::opendir(folder.c_str()), ::closedir);
  if (!directory) throw fs::filesystem_error("opendir", folder, std::error_code(errno, std::generic_category()));
  errno = 0;
  while (const dirent* entry = ::readdir(directory.get())) {
    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) visit(entry->d_name);
    errno = 0;
  }
  if (errno != 0) throw fs::filesystem_error("readdir", folder, std::error_code(errno, std::generic_category()));
}

#endif
