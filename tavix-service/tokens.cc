#include "tokens.h"

#include <cctype>

#include "crypto.h"

namespace tavixservice {

bool isValidPkceText(const std::string& text) {
  if (text.size() < 43 || text.size() > 128) return false;
  for (unsigned char c : text)
    if (!std::isalnum(c) && c != '-' && c != '.' && c != '_' && c != '~') return false;
  return true;
}

Tokens::Tokens(std::chrono::seconds codeLifetime, std::chrono::seconds tokenLifetime)
    : codeLifetime_(codeLifetime), tokenLifetime_(tokenLifetime) {}

std::string Tokens::issueCode(const AuthorizationGrant& grant) {
  std::string code = randomHex(24);
  std::lock_guard lock(mutex_);
  auto now = Clock::now();
  std::erase_if(codes_, [&](const auto& entry) { return entry.second.expiresAt <= now; });
  codes_[sha256Hex(code)] = PendingCode{grant, now + codeLifetime_};
  return code;
}

Tokens::Exchange Tokens::exchange(const std::string& code, const std::string& codeVerifier,
                                  const std::string& redirectUri, const std::string& clientId) {
  std::lock_guard lock(mutex_);
  auto found = codes_.find(sha256Hex(code));
  if (found == codes_.end()) return {std::nullopt, "The authorization code is unknown or was already used."};
  PendingCode pending = found->second;
  codes_.erase(found);
  if (pending.expiresAt <= Clock::now()) return {std::nullopt, "The authorization code has expired."};
  if (clientId != pending.grant.clientId) return {std::nullopt, "The client_id does not match the authorization."};
  if (redirectUri != pending.grant.redirectUri)
    return {std::nullopt, "The redirect_uri does not match the authorization."};
  if (!isValidPkceText(codeVerifier) || !constantTimeEquals(sha256Base64Url(codeVerifier), pending.grant.codeChallenge))
    return {std::nullopt, "The code_verifier does not match the code_challenge."};

  IssuedTokens issued{randomHex(32), randomHex(32), tokenLifetime_.count(), pending.grant.userId};
  tokens_[sha256Hex(issued.accessToken)] = Token{issued.userId, Clock::now() + tokenLifetime_};
  return {issued, {}};
}

TokenCheck Tokens::check(const std::string& accessToken, int64_t& userId) {
  std::lock_guard lock(mutex_);
  auto found = tokens_.find(sha256Hex(accessToken));
  if (found == tokens_.end()) return TokenCheck::Unknown;
  if (found->second.expiresAt <= Clock::now()) return TokenCheck::Expired;
  userId = found->second.userId;
  return TokenCheck::Valid;
}

void Tokens::expireAll() {
  std::lock_guard lock(mutex_);
  auto now = Clock::now();
  for (auto& [hash, token] : tokens_) token.expiresAt = std::min(token.expiresAt, now);
}

}  // namespace tavixservice
