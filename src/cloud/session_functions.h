// Service calls made with the stored session. Missing tokens are logged and
// give an empty result; library failures pass through as exceptions.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "cloud/norvane_client.h"

std::optional<NorvaneUser> getCurrentUserCachedOrFetched();
// Fetches the user with the given tokens and caches it.
std::optional<NorvaneUser> fetchUserWithToken(const NorvaneLocalAuthTokens& tokens);
std::optional<std::vector<NorvaneWorkspace>> fetchWorkspaces();
std::optional<NorvaneDirectory> fetchRootDirectory(int64_t workspaceId);
