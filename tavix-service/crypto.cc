#include "crypto.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

#include <stdexcept>
#include <vector>

namespace tavixservice {
namespace {

std::string toHex(const unsigned char* data, size_t length) {
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(length * 2);
  for (size_t i = 0; i < length; ++i) {
    hex += digits[data[i] >> 4];
    hex += digits[data[i] & 0x0f];
  }
  return hex;
}

std::string rawSha256(std::string_view data) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (!EVP_Digest(data.data(), data.size(), digest, &length, EVP_sha256(), nullptr))
    throw std::runtime_error("SHA-256 failed");
  return std::string(reinterpret_cast<char*>(digest), length);
}

}  // namespace

std::string sha256Hex(std::string_view data) {
  std::string digest = rawSha256(data);
  return toHex(reinterpret_cast<const unsigned char*>(digest.data()), digest.size());
}

std::string sha256Base64Url(std::string_view data) { return base64Url(rawSha256(data)); }

std::string base64Url(std::string_view data) {
  static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
  std::string out;
  size_t i = 0;
  auto byte = [&](size_t k) { return static_cast<unsigned char>(data[k]); };
  for (; i + 2 < data.size(); i += 3) {
    unsigned value = byte(i) << 16 | byte(i + 1) << 8 | byte(i + 2);
    out += alphabet[value >> 18 & 63];
    out += alphabet[value >> 12 & 63];
    out += alphabet[value >> 6 & 63];
    out += alphabet[value & 63];
  }
  if (data.size() - i == 1) {
    unsigned value = byte(i) << 16;
    out += alphabet[value >> 18 & 63];
    out += alphabet[value >> 12 & 63];
  } else if (data.size() - i == 2) {
    unsigned value = byte(i) << 16 | byte(i + 1) << 8;
    out += alphabet[value >> 18 & 63];
    out += alphabet[value >> 12 & 63];
    out += alphabet[value >> 6 & 63];
  }
  return out;
}

std::string hmacSha256Base64Url(std::string_view key, std::string_view data) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (!HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()),
            reinterpret_cast<const unsigned char*>(data.data()), data.size(), digest, &length))
    throw std::runtime_error("HMAC-SHA-256 failed");
  return base64Url(std::string_view(reinterpret_cast<char*>(digest), length));
}

std::string randomHex(size_t bytes) {
  std::vector<unsigned char> buffer(bytes);
  if (RAND_bytes(buffer.data(), static_cast<int>(buffer.size())) != 1)
    throw std::runtime_error("the random generator failed");
  return toHex(buffer.data(), buffer.size());
}

std::string passwordHash(std::string_view password, std::string_view saltHex) {
  unsigned char derived[32];
  if (!PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()),
                         reinterpret_cast<const unsigned char*>(saltHex.data()),
                         static_cast<int>(saltHex.size()), 20000, EVP_sha256(), sizeof derived, derived))
    throw std::runtime_error("password hashing failed");
  return toHex(derived, sizeof derived);
}

bool constantTimeEquals(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CRYPTO_memcmp(a.data(), b.data(), a.size()) == 0;
}

Sha256Stream::Sha256Stream() : context_(EVP_MD_CTX_new()) {
  if (!context_ || !EVP_DigestInit_ex(context_, EVP_sha256(), nullptr)) {
    EVP_MD_CTX_free(context_);
    throw std::runtime_error("SHA-256 failed");
  }
}

Sha256Stream::~Sha256Stream() { EVP_MD_CTX_free(context_); }

void Sha256Stream::update(const char* data, size_t length) { EVP_DigestUpdate(context_, data, length); }

std::string Sha256Stream::finishHex() {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_DigestFinal_ex(context_, digest, &length);
  return toHex(digest, length);
}

}  // namespace tavixservice
