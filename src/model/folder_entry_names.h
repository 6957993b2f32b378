// The names in one folder, as the system spells them. A user's model folder
// may hold tens of thousands of files: where the platform allows, no
// std::filesystem::path is built per entry, as parsing one costs more than
// reading the entry.
#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

using FolderEntryName = std::basic_string_view<std::filesystem::path::value_type>;

// Calls `visit` with each name in `folder`, "." and ".." aside.
// Throws std::filesystem::filesystem_error when the folder cannot be read.
void visitFolderEntryNames(const std::filesystem::path& folder, const std::function<void(FolderEntryName)>& visit);
