// The version suffix a backup writes: one above the highest of the model's name
// already in the target folder. Creo knows the folders it saved into; the
// simulator reads each folder once and then checks only the names around what
// it knows, so that thousands of backups into one folder of thousands of models
// do not each read the whole folder again.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <unordered_map>

namespace creosim {

class BackupVersions {
 public:
  // The version a backup of `base` (e.g. "bolt.prt") into `folder` writes next.
  int next(const std::filesystem::path& folder, const std::string& base);
  // Records that a backup wrote `base`.`version` into `folder`.
  void wrote(const std::filesystem::path& folder, const std::string& base, int version);

 private:
  using Highest = std::unordered_map<std::string, int>;
  Highest& read(const std::filesystem::path& folder);

  std::map<std::filesystem::path, Highest> folders_;
};

}  // namespace creosim
