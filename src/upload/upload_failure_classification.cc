#include "upload/upload_failure_classification.h"

#include "cloud/session_functions.h"
#include "core/log.h"
#include "norvane/errors.h"

namespace {

// Only the library can tell its failures apart: its classes cannot be caught
// by type across the delay-loaded import.
bool libraryFailureIs(const std::exception_ptr& failure, bool (*test)(const std::exception&) noexcept) {
  if (!failure) return false;
  try {
    std::rethrow_exception(failure);
  } catch (const std::exception& e) {
    return test(e);
  } catch (...) {
    return false;
  }
}

// The stored tokens stay after the service refuses them.
bool isRefusedAuthorization(const std::exception_ptr& failure) {
  return libraryFailureIs(failure, norvane::isAuthorizationRefused);
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
  // The same model sends the same list again: Retry would only be refused again.
  if (libraryFailureIs(cause, norvane::isRequestTooLarge)) {
    logWarning("The service refused the upload as larger than it takes (HTTP 413); retrying cannot change that.");
    return {UploadFailureKind::UnsupportedModel, kModelNotSupportedMessage};
  }
  try {
    if (fetchRootDirectory(client, session, workspaceId))
      return {UploadFailureKind::Other, kUnexpectedUploadErrorMessage};
  } catch (...) {
    if (isRefusedAuthorization(std::current_exception())) {
      logDebug("The service refused the session during upload; treating as auth expiry.");
      return {UploadFailureKind::SessionExpired, kSessionExpiredMessage};
    }
    // A service that is down or failing says nothing about the workspace: the
    // user is offered Retry, not sent to choose another workspace.
    if (libraryFailureIs(std::current_exception(), norvane::isServiceUnavailable)) {
      logDebug("Workspace check could not reach the service; treating as a failure that may pass.");
      return {UploadFailureKind::Other, kUnexpectedUploadErrorMessage};
    }
    logDebug("Workspace check failed with valid tokens; treating as workspace not found.");
  }
  return {UploadFailureKind::WorkspaceNotAccessible, kWorkspaceNotAccessibleMessage};
}
