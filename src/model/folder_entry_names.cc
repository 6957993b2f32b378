#include "model/folder_entry_names.h"

#include <algorithm>

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

FolderEntryNames::FolderEntryNames(const fs::path& folder) {
  visitFolderEntryNames(folder, [&](FolderEntryName name) {
    entries_.push_back({std::hash<FolderEntryName>{}(name), characters_.size(), name.size()});
    characters_.append(name);
  });
  std::sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) { return a.hash < b.hash; });
}

bool FolderEntryNames::contains(FolderEntryName name) const {
  const size_t hash = std::hash<FolderEntryName>{}(name);
  auto entry = std::lower_bound(entries_.begin(), entries_.end(), hash,
                                [](const Entry& e, size_t wanted) { return e.hash < wanted; });
  for (; entry != entries_.end() && entry->hash == hash; ++entry)
    if (FolderEntryName(characters_).substr(entry->offset, entry->length) == name) return true;
  return false;
}
