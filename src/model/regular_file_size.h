// The size of a regular file named by UTF-8 text, as the toolkit gives a
// model's origin. The size walk reads one per distinct file of an assembly;
// where the platform allows, no std::filesystem::path is built for it, as
// parsing one costs more than the system call.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// None when the file cannot be read or is not a regular file.
std::optional<std::uintmax_t> regularFileSize(const std::string& utf8Path);
