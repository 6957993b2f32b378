// What the temporary directories need from the operating system.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <system_error>

// The system's temporary directory (GetTempPathW; TMPDIR or /tmp elsewhere), or
// nothing with the system's last error.
std::optional<std::filesystem::path> systemTempDirectory(uint32_t& lastError);

// The numeric id of the calling thread, as the system numbers threads.
uint32_t currentThreadNumericId();

// Creates one directory (not its parents) that only the current user can enter.
// std::errc::file_exists when something is already at `path`.
std::error_code createPrivateDirectory(const std::filesystem::path& path);

// True when `path` itself (not a link's target) is a directory as
// createPrivateDirectory makes them: owned by the current user, no access for
// anyone else (POSIX); not a junction or other reparse point (Windows, where
// the temporary directory is the user's own).
bool isPrivateDirectoryOfUser(const std::filesystem::path& path);
