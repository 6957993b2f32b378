// The names in one folder, as the system spells them. A family-table backup
// lists the user's model folder before and after, and a large assembly has
// dozens of such backups over a folder of thousands of files: where the
// platform allows, no std::filesystem::path is built per entry, as parsing one
// costs more than reading the entry.
#pragma once

#include <filesystem>
#include <unordered_set>

using FolderEntryNames = std::unordered_set<std::filesystem::path::string_type>;

// Throws std::filesystem::filesystem_error when the folder cannot be read.
FolderEntryNames folderEntryNames(const std::filesystem::path& folder);
