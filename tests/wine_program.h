// For the Linux tests that run the windows-x64 build's programs under wine.
#pragma once

#include <filesystem>
#include <string>

namespace tavixtest {

// wine's loader; empty when wine is not installed.
std::filesystem::path wineLoader();
// A path as a program under wine sees it: the Linux root is drive Z:.
std::string windowsPathOf(const std::filesystem::path& path);
// The file's bytes; empty when it cannot be read.
std::string readFile(const std::filesystem::path& path);

}  // namespace tavixtest
