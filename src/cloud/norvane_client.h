// The add-in's own interface to the Tavix cloud service. Dialogs, actions and
// the upload operation call the service through it, never through the library
// client directly, so tests can put a fake in its place.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "norvane/records.h"

using norvane::NorvaneDirectory;
using norvane::NorvaneFindRevisionResult;
using norvane::NorvaneLocalAuthTokens;
using norvane::NorvaneUploadPayload;
using norvane::NorvaneUploadResult;
using norvane::NorvaneUser;
using norvane::NorvaneWorkspace;

class INorvaneClient {
 public:
  virtual ~INorvaneClient() = default;

  // The authorization address to open in the browser.
  virtual std::string localAuthFlowAuthorize() = 0;
  // Blocks until the browser flow ends; throws when it fails or times out.
  virtual NorvaneLocalAuthTokens localAuthFlowComplete() = 0;
  // Makes a waiting localAuthFlowComplete give up; any thread may call it.
  virtual void localAuthFlowCancel() = 0;
  virtual std::string localAuthFlowLogout() = 0;

  virtual std::vector<NorvaneWorkspace> listWorkspaces(const std::string& accessToken,
                                                       const std::string& filter) = 0;
  virtual NorvaneUser getCurrentUser(const std::string& accessToken) = 0;
  virtual NorvaneDirectory getRootDirectory(const std::string& accessToken, int64_t workspaceId) = 0;
  virtual std::vector<NorvaneFindRevisionResult> findRevision(
      const std::string& accessToken, int64_t workspaceId, const std::string& revisionKey,
      const std::string& sourceRevisionVersion, const std::string& sourceRevisionId, const std::string& fileName,
      bool includeDeleted, bool latestOnly, bool includeShared, bool matchSourceRevision) = 0;
  virtual NorvaneUploadResult upload(const std::string& accessToken, const NorvaneUploadPayload& payload,
                                     bool overwrite) = 0;

  virtual void setLogFile(const std::string& path) = 0;
  virtual void setLogLevel(const std::string& levelName) = 0;
};
