// Appending to the log file without keeping it open.
#pragma once

#include <filesystem>
#include <string_view>

// "tavix-integration.log", relative: it lives in Creo's working directory.
inline constexpr char kLogFileName[] = "tavix-integration.log";

// Opens the file for appending (creating it), writes the bytes in one append so
// that lines from concurrent writers never interleave, and closes it. A file
// that cannot be opened or written loses the bytes silently.
void appendToFile(const std::filesystem::path& file, std::string_view bytes);
