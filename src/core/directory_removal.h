// Removing a directory with everything in it, tolerating the short-lived
// "not empty" and "access denied" answers that virus scanners and indexers cause.
#pragma once

#include <cstdint>
#include <filesystem>
#include <system_error>

struct DirectoryRemovalResult {
  uint64_t removedEntries = 0;  // files and directories, the top one included
  std::error_code error;        // empty when everything was removed
};

// A path that does not exist counts as 0 removed entries and no error. Symbolic
// links are removed themselves, never followed.
DirectoryRemovalResult removeDirectoryTree(const std::filesystem::path& path);
