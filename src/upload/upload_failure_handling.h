// After a failed upload, on Creo's UI thread: shows the dialog that fits the
// failure and says where the workflow goes next.
#pragma once

#include <functional>
#include <string>

#include "cloud/norvane_client.h"
#include "cloud/session_manager.h"
#include "ui/ui_facade.h"
#include "upload/upload_operation_state.h"

// Runs a new upload operation to the same workspace and returns its code.
using UploadRetry = std::function<int()>;

// Destroys the progress dialog, shows the failure and clears it. Returns
// kOpenUploadDialogAgain, kSignInStarted, kWorkflowEnds or a retry's code.
int handleUploadFailure(UifcFacade& ui, SessionManager& session, UploadOperationState& state,
                        const std::string& modelFileName, const NorvaneWorkspace& workspace, const UploadRetry& retry);
