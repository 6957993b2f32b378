// Proof Key for Code Exchange (S256) and the anti-forgery state of a sign-in.
#pragma once

#include <string>

namespace norvane {

struct PkcePair {
  std::string verifier;   // 43 characters from 32 random bytes
  std::string challenge;  // base64url(SHA-256(verifier))
};

PkcePair makePkcePair();
// An unguessable value the browser must bring back unchanged.
std::string makeState();
// Base64 with the URL alphabet and no padding.
std::string base64UrlEncode(const std::string& bytes);

}  // namespace norvane
