// The names in one folder, as the system spells them. A family-table backup
// lists the user's model folder before and after, and a large assembly has
// dozens of such backups over a folder of thousands of files: where the
// platform allows, no std::filesystem::path is built per entry, as parsing one
// costs more than reading the entry, and the names are kept in one set, not
// allocated one by one.
#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

#include "model/text_set.h"

using FolderEntryName = std::basic_string_view<std::filesystem::path::value_type>;

// Calls `visit` with each name in `folder`, "." and ".." aside.
// Throws std::filesystem::filesystem_error when the folder cannot be read.
void visitFolderEntryNames(const std::filesystem::path& folder, const std::function<void(FolderEntryName)>& visit);

// The names a folder held when it was read.
class FolderEntryNames {
 public:
  // Throws std::filesystem::filesystem_error when the folder cannot be read.
  explicit FolderEntryNames(const std::filesystem::path& folder);
  bool contains(FolderEntryName name) const;

 private:
  BasicTextSet<std::filesystem::path::value_type> names_;
};
