// The addresses the completion panel opens: the uploaded primary file's page,
// without the revision the service appended, and its workspace's page.
#pragma once

#include <map>
#include <string>

#include "cloud/norvane_client.h"

// The address of the primary file in the upload result: the entry of exactly
// that name, else one equal ignoring ASCII case, else the only entry; empty otherwise.
std::string addressForPrimaryFile(const std::map<std::string, std::string>& fileUrls, const std::string& primaryName);

// Trimmed, without any "revisionId" or "revision_id" query parameter.
std::string cleanedAddress(const std::string& address);

// The workspace page on the same site as the file page: its path up to
// "/workspace/" (or "/session_page/") followed by "workspace/" and the
// workspace's addressKey. Empty when either is missing.
std::string workspaceAddress(const std::string& fileAddress, const NorvaneWorkspace& workspace);
