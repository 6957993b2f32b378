#include "cloud/session_manager.h"

void SessionManager::setTokens(NorvaneLocalAuthTokens tokens) {
  std::atomic_store(&tokens_, std::make_shared<const NorvaneLocalAuthTokens>(std::move(tokens)));
}

std::shared_ptr<const NorvaneLocalAuthTokens> SessionManager::getTokens() const { return std::atomic_load(&tokens_); }

void SessionManager::clear() {
  std::atomic_store(&tokens_, std::shared_ptr<const NorvaneLocalAuthTokens>());
  std::atomic_store(&user_, std::shared_ptr<const NorvaneUser>());
}

bool SessionManager::hasTokens() const {
  const auto tokens = std::atomic_load(&tokens_);
  return tokens && !tokens->accessToken.empty();
}

std::string SessionManager::getAccessToken() const {
  const auto tokens = std::atomic_load(&tokens_);
  return tokens ? tokens->accessToken : std::string();
}

std::string SessionManager::getSecondToken() const {
  const auto tokens = std::atomic_load(&tokens_);
  return tokens ? tokens->secondToken : std::string();
}

void SessionManager::setCurrentUser(NorvaneUser user) {
  std::atomic_store(&user_, std::make_shared<const NorvaneUser>(std::move(user)));
}

std::shared_ptr<const NorvaneUser> SessionManager::getCachedUser() const { return std::atomic_load(&user_); }
