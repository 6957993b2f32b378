// The directory the add-in's own library was loaded from: the client library
// and the resources are packaged beside it.
#pragma once

#include <filesystem>

// Computed once per process; throws std::runtime_error when the system cannot
// name the add-in's module.
std::filesystem::path moduleDirectory();
std::filesystem::path moduleRelativePath(const std::filesystem::path& fileName);

// The canonical form of a module name (long-path prefixes turned back into drive
// and UNC forms unless the name is too long for them, links and relative parts
// resolved); the name unchanged when it cannot be made canonical.
std::filesystem::path canonicalModuleName(const std::filesystem::path& name);
// The text before the last "\" or "/", without trailing separators but for a
// root's own ("C:\", "/").
std::filesystem::path parentDirectoryOf(const std::filesystem::path& name);
