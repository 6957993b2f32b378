// The 64-bit FNV-1a hash, used to name directories after texts and to mix ids.
#pragma once

#include <cstdint>
#include <string_view>

constexpr uint64_t fnv1a64(std::string_view bytes) {
  uint64_t hash = 0xcbf29ce484222325ULL;
  for (char byte : bytes) {
    hash ^= static_cast<unsigned char>(byte);
    hash *= 0x100000001b3ULL;
  }
  return hash;
}
