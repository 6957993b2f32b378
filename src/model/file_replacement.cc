#include "model/file_replacement.h"

namespace fs = std::filesystem;

namespace {

void removeIfPresent(const fs::path& path) {
  std::error_code error;
  fs::remove(path, error);
  if (error) throw fs::filesystem_error("remove", path, error);
}

}  // namespace

void copyFileReplacing(const fs::path& from, const fs::path& to) {
  // Nearly every target is new: only a name already taken pays for the checks.
  std::error_code error;
  if (fs::copy_file(from, to, error)) return;
  if (error != std::errc::file_exists) throw fs::filesystem_error("cannot copy file", from, to, error);
  // A file copied onto itself stays: removing it first would lose it.
  if (fs::equivalent(from, to)) return;
  removeIfPresent(to);
  fs::copy_file(from, to);
}

void moveFileReplacing(const fs::path& from, const fs::path& to) {
  removeIfPresent(to);
  fs::rename(from, to);
}
