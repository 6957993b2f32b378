// INorvaneClient over the library's client: every call is forwarded as it is.
#pragma once

#include <memory>

#include "cloud/norvane_client.h"
#include "norvane/norvane.h"

class NorvaneClientAdapter : public INorvaneClient {
 public:
  explicit NorvaneClientAdapter(std::shared_ptr<norvane::NorvaneClient> client);

  // Limits the browser flow to tavix_creo_auth_timeout when that is set.
  std::string localAuthFlowAuthorize() override;
  NorvaneLocalAuthTokens localAuthFlowComplete() override;
  void localAuthFlowCancel() override;
  std::string localAuthFlowLogout() override;
  std::vector<NorvaneWorkspace> listWorkspaces(const std::string& accessToken, const std::string& filter) override;
  NorvaneUser getCurrentUser(const std::string& accessToken) override;
  NorvaneDirectory getRootDirectory(const std::string& accessToken, int64_t workspaceId) override;
  std::vector<NorvaneFindRevisionResult> findRevision(const std::string& accessToken, int64_t workspaceId,
                                                      const std::string& revisionKey,
                                                      const std::string& sourceRevisionVersion,
                                                      const std::string& sourceRevisionId,
                                                      const std::string& fileName, bool includeDeleted,
                                                      bool latestOnly, bool includeShared,
                                                      bool matchSourceRevision) override;
  NorvaneUploadResult upload(const std::string& accessToken, const NorvaneUploadPayload& payload,
                             bool overwrite) override;
  void setLogFile(const std::string& path) override;
  void setLogLevel(const std::string& levelName) override;

 private:
  std::shared_ptr<norvane::NorvaneClient> client_;
};
