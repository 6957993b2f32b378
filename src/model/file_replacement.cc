#include "model/file_replacement.h"

#include <string>

#include "core/log.h"
#include "core/text_encoding.h"

namespace fs = std::filesystem;

namespace {

void removeIfPresent(const fs::path& path) {
  std::error_code error;
  fs::remove(path, error);
  if (error) throw fs::filesystem_error("remove", path, error);
}

// link() on POSIX, CreateHardLinkW on Windows. Any refusal (another volume, a
// network folder, a file system without links, permissions) leaves the copy.
bool linked(const fs::path& from, const fs::path& to, std::error_code& error) {
  fs::create_hard_link(from, to, error);
  if (error) return false;
  logDebug("File staged as a hard link: " + pathToUtf8(to));
  return true;
}

// False when `to` is taken.
bool copied(const fs::path& from, const fs::path& to, const std::error_code& linkRefusal) {
  std::error_code error;
  if (!fs::copy_file(from, to, error)) {
    if (error == std::errc::file_exists) return false;
    throw fs::filesystem_error("cannot copy file", from, to, error);
  }
  logDebug("File staged as a copy (hard link refused: " + linkRefusal.message() + "): " + pathToUtf8(to));
  return true;
}

}  // namespace

void stageFileReplacing(const fs::path& from, const fs::path& to) {
  // Nearly every target is new: only a name already taken pays for the checks.
  std::error_code error;
  if (linked(from, to, error)) return;
  if (error != std::errc::file_exists && copied(from, to, error)) return;
  // A file staged onto itself stays: removing it first would lose it.
  if (fs::equivalent(from, to)) return;
  removeIfPresent(to);
  if (!linked(from, to, error) && !copied(from, to, error))
    throw fs::filesystem_error("cannot copy file", from, to, std::make_error_code(std::errc::file_exists));
}

void moveFileReplacing(const fs::path& from, const fs::path& to) {
  removeIfPresent(to);
  fs::rename(from, to);
}
