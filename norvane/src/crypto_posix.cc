#include <openssl/rand.h>
#include <openssl/sha.h>

#include "crypto.h"
#include "norvane/errors.h"

namespace norvane {

std::string secureRandomBytes(size_t count) {
  std::string bytes(count, '\0');
  if (RAND_bytes(reinterpret_cast<unsigned char*>(bytes.data()), static_cast<int>(count)) != 1) {
    throw NorvaneError("norvane: the system random generator failed");
  }
  return bytes;
}

std::string sha256(std::string_view data) {
  std::string digest(SHA256_DIGEST_LENGTH, '\0');
  SHA256(reinterpret_cast<const unsigned char*>(data.data()), data.size(),
         reinterpret_cast<unsigned char*>(digest.data()));
  return digest;
}

}  // namespace norvane
