#include "pkce.h"

#include <cstdint>

#include "crypto.h"

namespace norvane {

std::string base64UrlEncode(const std::string& bytes) {
  static const char* const alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
  std::string encoded;
  uint32_t buffer = 0;
  int bits = 0;
  for (const unsigned char byte : bytes) {
    buffer = (buffer << 8) | byte;
    bits += 8;
    while (bits >= 6) {
      bits -= 6;
      encoded += alphabet[(buffer >> bits) & 63];
    }
  }
  if (bits > 0) encoded += alphabet[(buffer << (6 - bits)) & 63];
  return encoded;
}

PkcePair makePkcePair() {
  PkcePair pair;
  pair.verifier = base64UrlEncode(secureRandomBytes(32));
  pair.challenge = base64UrlEncode(sha256(pair.verifier));
  return pair;
}

std::string makeState() { return base64UrlEncode(secureRandomBytes(24)); }

}  // namespace norvane
