#include "backup_versions.h"

#include <algorithm>
#include <string_view>

#ifndef _WIN32
#include <dirent.h>

#include <memory>
#endif

#include "sim_text.h"

namespace fs = std::filesystem;

namespace creosim {

namespace {

// Calls `visit` with the name of each entry of `directory`, in UTF-8. On POSIX
// no std::filesystem::path is built per entry, as that costs far more than
// reading the entry.
template <typename Visit>
void visitEntryNames(const fs::path& directory, Visit visit) {
#ifdef _WIN32
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(directory, ec)) visit(std::string_view(utf8Of(entry.path().filename())));
#else
  const std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(directory.c_str()), ::closedir);
  if (!folder) return;
  while (const dirent* entry = ::readdir(folder.get())) visit(std::string_view(entry->d_name));
#endif
}

bool present(const fs::path& folder, const std::string& base, int version) {
  std::error_code ec;
  return fs::exists(folder / pathOf(base + "." + std::to_string(version)), ec);
}

}  // namespace

BackupVersions::Highest& BackupVersions::read(const fs::path& folder) {
  Highest highest;
  visitEntryNames(folder, [&](std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return;
    const std::string_view digits = name.substr(dot + 1);
    if (digits.empty() || digits.size() >= 9 || digits.find_first_not_of("0123456789") != std::string_view::npos) return;
    int& known = highest[std::string(name.substr(0, dot))];
    known = std::max(known, std::stoi(std::string(digits)));
  });
  return folders_[folder] = std::move(highest);
}

int BackupVersions::next(const fs::path& folder, const std::string& base) {
  auto known = folders_.find(folder);
  Highest* highest = known == folders_.end() ? &read(folder) : &known->second;
  // Someone removed the highest version since: what is left decides.
  if (int version = (*highest)[base]; version > 0 && !present(folder, base, version)) highest = &read(folder);
  int& version = (*highest)[base];
  // Versions saved since the folder was read follow the highest one.
  while (present(folder, base, version + 1)) ++version;
  return version + 1;
}

void BackupVersions::wrote(const fs::path& folder, const std::string& base, int version) {
  const auto known = folders_.find(folder);
  if (known == folders_.end()) return;
  int& highest = known->second[base];
  highest = std::max(highest, version);
}

}  // namespace creosim
