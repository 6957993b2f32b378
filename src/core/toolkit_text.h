// Text across the toolkit boundary. The add-in's texts are UTF-8 and its paths
// file-system paths; the toolkit's are xstring, whose narrow form follows a code
// page the add-in does not choose. Everything crosses in the wide form, so that
// non-ASCII model names and folders arrive as typed.
#pragma once

#include <filesystem>
#include <string>

#include <pfcGlobal.h>

xstring toXstring(const std::string& utf8);
xstring pathToXstring(const std::filesystem::path& path);

// Empty for a null string.
std::string fromXstring(xrstring text);
std::filesystem::path pathFromXstring(xrstring text);
