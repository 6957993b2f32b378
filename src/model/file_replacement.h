// Staging a file under a new name, and moving a staged file, over one already there.
#pragma once

#include <filesystem>

// Puts `from` at `to`, replacing a file at `to`: as a second name of the same
// file (a hard link) where the volume allows, else as a copy; which way it
// went is logged. A linked file is the user's own: nothing may write into a
// staged file or change its attributes, only read, rename or remove it. The
// old file at `to` is removed first: libstdc++ on Windows has no inode
// numbers to tell two files of one drive apart and refuses to overwrite,
// taking them for the same file. A file staged onto itself is left as it is.
void stageFileReplacing(const std::filesystem::path& from, const std::filesystem::path& to);
// Moves `from` to `to`, replacing a file at `to`.
void moveFileReplacing(const std::filesystem::path& from, const std::filesystem::path& to);
