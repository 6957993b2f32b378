#include "cloud/session_functions.h"

#include "core/log.h"

std::optional<NorvaneUser> getCurrentUserCachedOrFetched(INorvaneClient& client, SessionManager& session) {
  if (const auto user = session.getCachedUser()) {
    logDebug("Using cached current user.");
    return *user;
  }
  logDebug("Fetching current user.");
  const auto tokens = session.getTokens();
  if (!tokens) {
    logError("No auth tokens available for user fetch.");
    return std::nullopt;
  }
  return fetchUserWithToken(client, session, *tokens);
}

std::optional<NorvaneUser> fetchUserWithToken(INorvaneClient& client, SessionManager& session,
                                              const NorvaneLocalAuthTokens& tokens) {
  if (tokens.accessToken.empty()) {
    logError("Access token is empty; cannot fetch current user.");
    return std::nullopt;
  }
  NorvaneUser user = client.getCurrentUser(tokens.accessToken);
  session.setCurrentUser(user);
  return user;
}

std::optional<std::vector<NorvaneWorkspace>> fetchWorkspaces(INorvaneClient& client, SessionManager& session) {
  logDebug("Fetching workspaces.");
  const auto tokens = session.getTokens();
  if (!tokens) {
    logError("No auth tokens available for workspace fetch.");
    return std::nullopt;
  }
  return client.listWorkspaces(tokens->accessToken, "");
}

std::optional<NorvaneDirectory> fetchRootDirectory(INorvaneClient& client, SessionManager& session,
                                                   int64_t workspaceId) {
  logDebug("Fetching root directory for workspace.");
  const auto tokens = session.getTokens();
  if (!tokens) {
    logError("No auth tokens available for root directory fetch.");
    return std::nullopt;
  }
  return client.getRootDirectory(tokens->accessToken, workspaceId);
}
