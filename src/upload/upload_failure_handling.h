// After a failed upload, on Creo's UI thread: shows the dialog that fits the
// failure and says which step of the workflow comes next.
#pragma once

#include <string>

#include "cloud/norvane_client.h"
#include "cloud/session_manager.h"
#include "ui/ui_facade.h"
#include "upload/upload_operation_state.h"
#include "upload/workflow_step.h"

// Shown when no dialog of its own fits what went wrong.
inline constexpr const char* kRequestFailedMessage = "We couldn't complete the request.\nPlease start over.";

// Destroys the progress dialog and shows the failure. Returns UploadDialog
// (back to upload), Upload (retry to the same workspace), SignIn (the session
// was cleared) or End.
WorkflowStep handleUploadFailure(UifcFacade& ui, SessionManager& session, UploadOperationState& state,
                                 const std::string& modelFileName, const NorvaneWorkspace& workspace);
