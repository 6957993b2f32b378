// Service calls made with the stored session. Missing tokens are logged and
// give an empty result; library failures pass through as exceptions.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "cloud/norvane_client.h"
#include "cloud/session_manager.h"

std::optional<NorvaneUser> getCurrentUserCachedOrFetched(INorvaneClient& client, SessionManager& session);
// Fetches the user with the given tokens and caches it.
std::optional<NorvaneUser> fetchUserWithToken(INorvaneClient& client, SessionManager& session,
                                              const NorvaneLocalAuthTokens& tokens);
std::optional<std::vector<NorvaneWorkspace>> fetchWorkspaces(INorvaneClient& client, SessionManager& session);
std::optional<NorvaneDirectory> fetchRootDirectory(INorvaneClient& client, SessionManager& session,
                                                   int64_t workspaceId);
