// ASCII-only case mapping: names, keys and property values are compared with
// A-Z / a-z folded, nothing else, whatever the locale.
#pragma once

#include <string>

inline char asciiLowered(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
inline char asciiUppered(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

inline std::string asciiLowered(std::string text) {
  for (char& c : text) c = asciiLowered(c);
  return text;
}

inline std::string asciiUppered(std::string text) {
  for (char& c : text) c = asciiUppered(c);
  return text;
}
