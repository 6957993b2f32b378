// Hashing and randomness for passwords, tokens, PKCE and stored files (OpenSSL).
#pragma once

#include <string>
#include <string_view>

struct evp_md_ctx_st;

namespace tavixservice {

std::string sha256Hex(std::string_view data);
// Unpadded base64url of the raw SHA-256 digest, as a PKCE S256 challenge is written.
std::string sha256Base64Url(std::string_view data);
std::string base64Url(std::string_view data);
std::string hmacSha256Base64Url(std::string_view key, std::string_view data);
// `bytes` random bytes from the operating system's generator, as lowercase hex.
std::string randomHex(size_t bytes);
// A slow salted hash for stored passwords.
std::string passwordHash(std::string_view password, std::string_view saltHex);
bool constantTimeEquals(std::string_view a, std::string_view b);

// Feeds a file's bytes through SHA-256 as they arrive.
class Sha256Stream {
 public:
  Sha256Stream();
  ~Sha256Stream();
  Sha256Stream(const Sha256Stream&) = delete;
  Sha256Stream& operator=(const Sha256Stream&) = delete;
  void update(const char* data, size_t length);
  std::string finishHex();

 private:
  evp_md_ctx_st* context_;
};

}  // namespace tavixservice
