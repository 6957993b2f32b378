// The one line the installer adds to an administrator's config.pro, and its
// removal by the uninstaller: the rest of the file keeps every byte.
#pragma once

#include <string>

namespace tavixsetup {

// `config` with `line` appended, in the file's own line-end style (CRLF when it
// has none yet). A file not ending in a line end gets the line after one, and
// keeps ending without one. A file that holds the line already is returned as it is.
std::string withConfigLine(const std::string& config, const std::string& line);

// `config` without the last occurrence of `line`: the line and its line end go,
// or, when it is the last line and has none, the line end before it.
// A file without the line is returned as it is.
std::string withoutConfigLine(const std::string& config, const std::string& line);

// The line that names the registration file, its path quoted for the spaces
// of folders such as Program Files.
std::string registryFileLine(const std::string& registrationFileUtf8);

}  // namespace tavixsetup
