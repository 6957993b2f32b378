#include "cloud/norvane_client_adapter.h"

#include "cloud/norvane_instance.h"

NorvaneClientAdapter::NorvaneClientAdapter(std::shared_ptr<norvane::NorvaneClient> client)
    : client_(std::move(client)) {}

std::string NorvaneClientAdapter::localAuthFlowAuthorize() {
  int64_t minutes = 0;
  if (readAuthTimeoutOverride(minutes)) return client_->localAuthFlowAuthorizeWithTimeout(minutes);
  return client_->localAuthFlowAuthorize();
}

NorvaneLocalAuthTokens NorvaneClientAdapter::localAuthFlowComplete() { return client_->localAuthFlowComplete(); }

void NorvaneClientAdapter::localAuthFlowCancel() { client_->localAuthFlowCancel(); }

std::string NorvaneClientAdapter::localAuthFlowLogout() { return client_->localAuthFlowLogout(); }

std::vector<NorvaneWorkspace> NorvaneClientAdapter::listWorkspaces(const std::string& accessToken,
                                                                   const std::string& filter) {
  return client_->listWorkspaces(accessToken, filter);
}

NorvaneUser NorvaneClientAdapter::getCurrentUser(const std::string& accessToken) {
  return client_->getCurrentUser(accessToken);
}

NorvaneDirectory NorvaneClientAdapter::getRootDirectory(const std::string& accessToken, int64_t workspaceId) {
  return client_->getRootDirectory(accessToken, workspaceId);
}

std::vector<NorvaneFindRevisionResult> NorvaneClientAdapter::findRevision(
    const std::string& accessToken, int64_t workspaceId, const std::string& revisionKey,
    const std::string& sourceRevisionVersion, const std::string& sourceRevisionId, const std::string& fileName,
    bool includeDeleted, bool latestOnly, bool includeShared, bool matchSourceRevision) {
  return client_->findRevision(accessToken, workspaceId, revisionKey, sourceRevisionVersion, sourceRevisionId,
                               fileName, includeDeleted, latestOnly, includeShared, matchSourceRevision);
}

NorvaneUploadResult NorvaneClientAdapter::upload(const std::string& accessToken, const NorvaneUploadPayload& payload,
                                                 bool overwrite) {
  return client_->upload(accessToken, payload, overwrite);
}

void NorvaneClientAdapter::setLogFile(const std::string& path) { client_->setLogFile(path); }

void NorvaneClientAdapter::setLogLevel(const std::string& levelName) { client_->setLogLevel(levelName); }
