// File-system paths from the UTF-8 texts the toolkit hands out.
#pragma once

#include <filesystem>
#include <string_view>

std::filesystem::path pathFromUtf8(std::string_view text);
