// The names in one folder, as the system spells them. A family-table backup
// lists the user's model folder before and after, and a large assembly has
// dozens of such backups over a folder of thousands of files: where the
// platform allows, no std::filesystem::path is built per entry, as parsing one
// costs more than reading the entry, and a name is looked up without a copy.
#pragma once

#include <filesystem>
#include <functional>
#include <string_view>
#include <unordered_set>

using FolderEntryName = std::basic_string_view<std::filesystem::path::value_type>;

struct FolderEntryNameHash {
  using is_transparent = void;
  size_t operator()(FolderEntryName name) const noexcept { return std::hash<FolderEntryName>{}(name); }
};
using FolderEntryNames =
    std::unordered_set<std::filesystem::path::string_type, FolderEntryNameHash, std::equal_to<>>;

// Calls `visit` with each name in `folder`, "." and ".." aside.
// Throws std::filesystem::filesystem_error when the folder cannot be read.
void visitFolderEntryNames(const std::filesystem::path& folder, const std::function<void(FolderEntryName)>& visit);

FolderEntryNames folderEntryNames(const std::filesystem::path& folder);
