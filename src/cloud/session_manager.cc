#include "cloud/session_manager.h"

void SessionManager::setTokens(NorvaneLocalAuthTokens tokens) {
  tokens_.store(std::make_shared<const NorvaneLocalAuthTokens>(std::move(tokens)));
}

std::shared_ptr<const NorvaneLocalAuthTokens> SessionManager::getTokens() const { return tokens_.load(); }

void SessionManager::clear() {
  tokens_.store(nullptr);
  user_.store(nullptr);
}

bool SessionManager::hasTokens() const {
  const auto tokens = tokens_.load();
  return tokens && !tokens->accessToken.empty();
}

std::string SessionManager::getAccessToken() const {
  const auto tokens = tokens_.load();
  return tokens ? tokens->accessToken : std::string();
}

std::string SessionManager::getSecondToken() const {
  const auto tokens = tokens_.load();
  return tokens ? tokens->secondToken : std::string();
}

void SessionManager::setCurrentUser(NorvaneUser user) {
  user_.store(std::make_shared<const NorvaneUser>(std::move(user)));
}

std::shared_ptr<const NorvaneUser> SessionManager::getCachedUser() const { return user_.load(); }
