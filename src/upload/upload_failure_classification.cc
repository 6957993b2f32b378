#include "upload/upload_failure_classification.h"

#include "cloud/session_functions.h"
#include "core/log.h"
#include "norvane/errors.h"

namespace {

// The stored tokens stay after the service refuses them; only the library can
// say that the failure was a refused token.
bool isRefusedAuthorization(const std::exception_ptr& failure) {
  if (!failure) return false;
  try {
    std::rethrow_exception(failure);
  } catch (const std::exception& e) {
    return norvane::isAuthorizationRefused(e);
  } catch (...) {
    return false;
  }
}

}  // namespace

UploadFailure classifyUploadFailure(INorvaneClient& client, SessionManager& session, int64_t workspaceId,
                                    std::exception_ptr cause) {
  if (!session.getTokens()) {
    logDebug("No auth tokens during failure classification; treating as auth expiry.");
    return {UploadFailureKind::SessionExpired, kSessionExpiredMessage};
  }
  if (isRefusedAuthorization(cause)) {
    logDebug("The service refused the session during upload; treating as auth expiry.");
    return {UploadFailureKind::SessionExpired, kSessionExpiredMessage};
  }
  try {
    if (fetchRootDirectory(client, session, workspaceId))
      return {UploadFailureKind::Other, kUnexpectedUploadErrorMessage};
  } catch (...) {
    if (isRefusedAuthorization(std::current_exception())) {
      logDebug("The service refused the session during upload; treating as auth expiry.");
      return {UploadFailureKind::SessionExpired, kSessionExpiredMessage};
    }
    logDebug("Workspace check failed with valid tokens; treating as workspace not found.");
  }
  return {UploadFailureKind::WorkspaceNotAccessible, kWorkspaceNotAccessibleMessage};
}
