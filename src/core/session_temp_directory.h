// The private directory under the system's temporary directory that exported
// files are staged in before an upload: one per scope, replaced when the scope
// changes, removed when the add-in terminates or an upload ends.
#pragma once

#include <filesystem>
#include <string>

// The session directory for `scope` ("" means "__default__"); it exists when the
// call returns. Throws std::runtime_error when no directory can be provided.
std::filesystem::path getSessionTempDirectory(const std::string& scope);
// Removes the current session directory (unless retained) and forgets it. A
// directory in use (holdSessionTempDirectory) is only forgotten: its last use removes it.
void cleanupSessionTempDirectory();
// Keeps the current directory of `scope` while a transfer reads its files: no
// scope change, clean-up or later request of the same scope touches it until
// releaseSessionTempDirectory. Its id, or "" when `scope` has no directory.
std::string holdSessionTempDirectory(const std::string& scope);
// Ends a use of a held directory; the last removes it (unless retained).
void releaseSessionTempDirectory(const std::string& id);
// Removes the "tavix-" directories earlier sessions left under the base directory,
// except those a running session still holds.
void cleanupStaleTempDirectories();

// Makes sure `path` is an existing directory, creating it if needed; throws otherwise.
void ensureExistingDirectory(const std::filesystem::path& path);
// The system's temporary directory, with fallbacks; resolved once and kept.
std::filesystem::path resolveBaseTempDirectory();
// 16 lower-case hexadecimal digits, unique per call within the process.
std::string makeSessionDirectoryId();
