// Copying and moving a staged file over one already there.
#pragma once

#include <filesystem>

// Copies `from` to `to`, replacing a file at `to`. The old file is removed
// first: libstdc++ on Windows has no inode numbers to tell two files of one
// drive apart and refuses to overwrite, taking them for the same file. A file
// copied onto itself is left as it is.
void copyFileReplacing(const std::filesystem::path& from, const std::filesystem::path& to);
// Moves `from` to `to`, replacing a file at `to`.
void moveFileReplacing(const std::filesystem::path& from, const std::filesystem::path& to);
