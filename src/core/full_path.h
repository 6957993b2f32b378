// Absolute paths as the system resolves them against the current directory.
#pragma once

#include <filesystem>
#include <optional>

// The full form of a path, or nothing when the system cannot give it.
std::optional<std::filesystem::path> fullPathName(const std::filesystem::path& path);
