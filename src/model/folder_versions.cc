#include "model/folder_versions.h"

#include <algorithm>
#include <string>

#include "model/folder_entry_names.h"

namespace fs = std::filesystem;

std::pair<FolderVersions::Name, unsigned> splitVersion(const FolderVersions::Name& fileName) {
  const size_t dot = fileName.rfind('.');
  const size_t digits = dot == FolderVersions::Name::npos ? 0 : fileName.size() - dot - 1;
  // Nine digits at most: no real version is longer, and the value stays in range.
  if (digits == 0 || digits > 9 || dot == 0) return {fileName, 0};
  unsigned version = 0;
  for (size_t i = dot + 1; i < fileName.size(); ++i) {
    if (fileName[i] < '0' || fileName[i] > '9') return {fileName, 0};
    version = version * 10 + static_cast<unsigned>(fileName[i] - '0');
  }
  return {fileName.substr(0, dot), version};
}

fs::path versionedName(const FolderVersions::Name& base, unsigned version) {
  return fs::path(base) += "." + std::to_string(version);
}

std::unordered_map<FolderVersions::Name, unsigned>& FolderVersions::highestIn(const fs::path& folder) {
  auto found = folders_.find(folder);
  if (found != folders_.end()) return found->second;
  std::unordered_map<Name, unsigned> highest;
  visitFolderEntryNames(folder, [&](FolderEntryName entry) {
    auto [base, version] = splitVersion(Name(entry));
    if (version == 0) return;
    unsigned& known = highest[base];
    known = std::max(known, version);
  });
  return folders_.emplace(folder, std::move(highest)).first->second;
}

unsigned FolderVersions::nextFree(const fs::path& folder, const Name& base) {
  unsigned& highest = highestIn(folder)[base];
  // Something other than a backup of this export may have written one since.
  std::error_code error;
  while (fs::exists(folder / versionedName(base, highest + 1), error)) ++highest;
  return highest + 1;
}

void FolderVersions::taken(const fs::path& folder, const Name& base, unsigned version) {
  unsigned& highest = highestIn(folder)[base];
  highest = std::max(highest, version);
}
