// One-time authorization codes and bearer tokens. Only their SHA-256 is kept,
// so neither a memory dump nor the data folder gives a usable token away.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace tavixservice {

struct AuthorizationGrant {
  std::string clientId;
  std::string redirectUri;
  std::string codeChallenge;  // S256
  int64_t userId = 0;
};

struct IssuedTokens {
  std::string accessToken;
  std::string refreshToken;
  int64_t expiresInSeconds = 0;
  int64_t userId = 0;
};

enum class TokenCheck { Valid, Expired, Unknown };

class Tokens {
 public:
  using Clock = std::chrono::steady_clock;
  Tokens(std::chrono::seconds codeLifetime, std::chrono::seconds tokenLifetime);

  std::string issueCode(const AuthorizationGrant& grant);
  // Redeems a code once: whatever the outcome, the code is gone afterwards.
  // Returns the tokens, or the reason for refusing them.
  struct Exchange {
    std::optional<IssuedTokens> tokens;
    std::string refusal;
  };
  Exchange exchange(const std::string& code, const std::string& codeVerifier, const std::string& redirectUri,
                    const std::string& clientId);

  TokenCheck check(const std::string& accessToken, int64_t& userId);
  void expireAll();

 private:
  struct PendingCode {
    AuthorizationGrant grant;
    Clock::time_point expiresAt;
  };
  struct Token {
    int64_t userId = 0;
    Clock::time_point expiresAt;
  };

  std::chrono::seconds codeLifetime_;
  std::chrono::seconds tokenLifetime_;
  std::mutex mutex_;
  std::map<std::string, PendingCode> codes_;  // by SHA-256 of the code
  std::map<std::string, Token> tokens_;       // by SHA-256 of the access token
};

// RFC 7636: 43 to 128 characters of A-Z a-z 0-9 - . _ ~
bool isValidPkceText(const std::string& text);

}  // namespace tavixservice
