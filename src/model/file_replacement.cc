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
  // A file copied onto itself stays: removing it first would lose it.
  if (fs::exists(to) && fs::equivalent(from, to)) return;
  removeIfPresent(to);
  fs::copy_file(from, to);
}

void moveFileReplacing(const fs::path& from, const fs::path& to) {
  removeIfPresent(to);
  fs::rename(from, to);
}
