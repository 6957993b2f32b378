// ASCII-only case mapping: model names are compared with A-Z folded, nothing else.
#pragma once

#include <string>

inline std::string asciiLowered(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}
