// The platform's cryptography, for the sign-in's secrets.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace norvane {

// Bytes from the system's cryptographically secure generator; throws when it fails.
std::string secureRandomBytes(size_t count);
// The 32-byte SHA-256 digest.
std::string sha256(std::string_view data);

}  // namespace norvane
