#include "cloud/session_functions.h"

#include "cloud/client_provider.h"
#include "core/log.h"

std::optional<NorvaneUser> getCurrentUserCachedOrFetched() {
  if (const auto user = getSessionManager().getCachedUser()) {
    logDebug("Using cached current user.");
    return *user;
  }
  logDebug("Fetching current user.");
  const auto tokens = getSessionManager().getTokens();
  if (!tokens) {
    logError("No auth tokens available for user fetch.");
    return std::nullopt;
  }
  return fetchUserWithToken(*tokens);
}

std::optional<NorvaneUser> fetchUserWithToken(const NorvaneLocalAuthTokens& tokens) {
  if (tokens.accessToken.empty()) {
    logError("Access token is empty; cannot fetch current user.");
    return std::nullopt;
  }
  NorvaneUser user = getNorvaneClient()->getCurrentUser(tokens.accessToken);
  getSessionManager().setCurrentUser(user);
  return user;
}

std::optional<std::vector<NorvaneWorkspace>> fetchWorkspaces() {
  logDebug("Fetching workspaces.");
  const auto tokens = getSessionManager().getTokens();
  if (!tokens) {
    logError("No auth tokens available for workspace fetch.");
    return std::nullopt;
  }
  return getNorvaneClient()->listWorkspaces(tokens->accessToken, "");
}

std::optional<NorvaneDirectory> fetchRootDirectory(int64_t workspaceId) {
  logDebug("Fetching root directory for workspace.");
  const auto tokens = getSessionManager().getTokens();
  if (!tokens) {
    logError("No auth tokens available for root directory fetch.");
    return std::nullopt;
  }
  return getNorvaneClient()->getRootDirectory(tokens->accessToken, workspaceId);
}
