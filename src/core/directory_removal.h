// Removing a directory with everything in it, tolerating the short-lived
// "not empty" and "access denied" answers that virus scanners and indexers cause.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <system_error>

struct DirectoryRemovalResult {
  uint64_t removedEntries = 0;  // files and directories, the top one included
  std::error_code error;        // empty when everything was removed
};

// A path that does not exist counts as 0 removed entries and no error. Links
// (and Windows reparse points) are removed themselves, never followed, at any
// depth: a directory swapped for a link while the tree is removed leads nowhere.
DirectoryRemovalResult removeDirectoryTree(const std::filesystem::path& path);

// For each system's removal: removes a directory just emptied, trying again
// while scanners or indexers hold it briefly. Counts it in `result`.
std::error_code removeEmptiedDirectory(const std::function<std::error_code()>& removeOnce,
                                       DirectoryRemovalResult& result);
