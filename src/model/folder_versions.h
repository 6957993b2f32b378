// The version suffixes of the model files in a user's folder ("plate.prt.7"
// is plate.prt at version 7). Creo writes a model into a folder under the
// version after the highest there; knowing it, the files a family-table
// backup will write are known before it runs. A folder is read once, at its
// first question, however many backups go into it.
#pragma once

#include <filesystem>
#include <map>
#include <unordered_map>

class FolderVersions {
 public:
  using Name = std::filesystem::path::string_type;

  // The version of `base` after the highest in `folder` that no file holds.
  // Throws std::filesystem::filesystem_error when the folder cannot be read.
  unsigned nextFree(const std::filesystem::path& folder, const Name& base);
  // A file of that version now exists.
  void taken(const std::filesystem::path& folder, const Name& base, unsigned version);

 private:
  std::unordered_map<Name, unsigned>& highestIn(const std::filesystem::path& folder);

  std::map<std::filesystem::path, std::unordered_map<Name, unsigned>> folders_;
};

// plate.prt.7 for "plate.prt" and 7.
std::filesystem::path versionedName(const FolderVersions::Name& base, unsigned version);
// "plate.prt" for plate.prt.7 (and for plate.prt), with the version (0 without one).
std::pair<FolderVersions::Name, unsigned> splitVersion(const FolderVersions::Name& fileName);
