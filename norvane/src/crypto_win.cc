#include <windows.h>
#include <bcrypt.h>

#include "crypto.h"
#include "norvane/errors.h"

namespace norvane {

std::string secureRandomBytes(size_t count) {
  std::string bytes(count, '\0');
  if (!BCRYPT_SUCCESS(BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(bytes.data()), static_cast<ULONG>(count),
                                      BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
    throw NorvaneError("norvane: the system random generator failed");
  }
  return bytes;
}

std::string sha256(std::string_view data) {
  std::string digest(32, '\0');
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  bool hashed = BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) &&
                BCRYPT_SUCCESS(BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0)) &&
                BCRYPT_SUCCESS(BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(data.data())),
                                              static_cast<ULONG>(data.size()), 0)) &&
                BCRYPT_SUCCESS(BCryptFinishHash(hash, reinterpret_cast<PUCHAR>(digest.data()),
                                                static_cast<ULONG>(digest.size()), 0));
  if (hash) BCryptDestroyHash(hash);
  if (algorithm) BCryptCloseAlgorithmProvider(algorithm, 0);
  if (!hashed) throw NorvaneError("norvane: SHA-256 failed");
  return digest;
}

}  // namespace norvane
