// Turns a failed upload into what the user can do about it: sign in again
// (the session is gone or was refused), choose another workspace (the
// workspace cannot be read any more), try again, or nothing (the service
// will not take this model as it is).
#pragma once

#include <cstdint>
#include <exception>

#include "cloud/norvane_client.h"
#include "cloud/session_manager.h"
#include "upload/upload_operation_state.h"

inline constexpr const char* kSessionExpiredMessage = "Your session has expired.\nPlease sign in again to continue.";
inline constexpr const char* kWorkspaceNotAccessibleMessage =
    "The selected workspace is no longer accessible.\nPlease choose another workspace to continue.";
inline constexpr const char* kUnexpectedUploadErrorMessage = "An unexpected error occurred. Please try again.";
inline constexpr const char* kModelNotSupportedMessage = "This model type is not supported for upload.";

// `cause` is what the failed call threw, when it threw. Runs on the upload
// thread: only the session manager and the client library are called.
UploadFailure classifyUploadFailure(INorvaneClient& client, SessionManager& session, int64_t workspaceId,
                                    std::exception_ptr cause);
