// File-system paths from the UTF-8 texts the toolkit hands out.
#pragma once

#include <filesystem>
#include <string_view>

inline std::filesystem::path pathFromUtf8(std::string_view text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}
