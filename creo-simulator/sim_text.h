// Small text helpers of the simulator: ASCII case mapping, UTF-8 paths, and the
// toolkit's strings, which the simulator reads and writes in their wide form.
#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "host/xobject.h"

namespace creosim {

inline std::string asciiLower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
  return text;
}
inline std::string asciiUpper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c); });
  return text;
}
inline std::string utf8Of(const std::filesystem::path& path) {
  std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}
inline std::filesystem::path pathOf(const std::string& utf8) { return std::u8string(utf8.begin(), utf8.end()); }

// UTF-8 to and from a toolkit string; a null string reads as empty.
xstring xstringOf(const std::string& utf8);
std::string textOf(xrstring text);
xstringsequence_ptr xstringsOf(const std::vector<std::string>& utf8);
std::vector<std::string> textsOf(const xstringsequence_ptr& sequence);  // empty for null

}  // namespace creosim
