#include "upload/upload_failure_handling.h"

#include "core/log.h"
#include "signin/sign_out_flow.h"
#include "ui/generic_error_dialog.h"
#include "upload/upload_failed_dialog.h"

namespace {

WorkflowStep showFailure(SessionManager& session, const UploadFailure& failure, const std::string& modelFileName,
                         const NorvaneWorkspace& workspace) {
  GenericErrorDialog genericError(signedInAccount());
  switch (failure.kind) {
    case UploadFailureKind::WorkspaceNotAccessible:
      logInfo("Workspace not accessible. Showing error to return to upload dialog.");
      return genericError.showDialog(failure.message, "Workspace no longer accessible", "Back to Upload", true)
                 ? WorkflowStep::UploadDialog
                 : WorkflowStep::End;
    case UploadFailureKind::SessionExpired:
      logInfo("Auth expired during upload. Redirecting to sign-in.");
      if (!genericError.showDialog(failure.message, "Session Expired", "Back to Sign In", true))
        return WorkflowStep::End;
      session.clear();
      return WorkflowStep::SignIn;
    case UploadFailureKind::UnsupportedModel:
      logInfo("Unsupported model type. Showing error.");
      genericError.showDialog(failure.message.empty() ? "This model type is not supported for upload."
                                                      : failure.message,
                              "Unsupported Model", "", false);
      return WorkflowStep::End;
    default:
      break;
  }
  const std::string workspaceText = modelFileName + "  \u2192  " + workspace.name;
  const std::optional<bool> retryRequested = UploadFailedDialog(signedInAccount()).showDialog(workspaceText, failure.message);
  if (!retryRequested) {
    logError("UploadFailedDialog failed to display. Falling back to GenericErrorDialog.");
    genericError.showDialog(kRequestFailedMessage, "", "", true);
    return WorkflowStep::End;
  }
  if (!*retryRequested) return WorkflowStep::End;
  logInfo("User requested upload retry.");
  return WorkflowStep::Upload;
}

}  // namespace

WorkflowStep handleUploadFailure(UifcFacade& ui, SessionManager& session, UploadOperationState& state,
                                 const std::string& modelFileName, const NorvaneWorkspace& workspace) {
  logDebug("An error occurred while uploading. Displaying the error dialog.");
  state.clearDone();
  try {
    ui.DestroyDialog("Upload");
  } catch (...) {
    logDebug("DestroyDialog failed during upload failure cleanup.");
  }
  return showFailure(session, state.snapshot().failure, modelFileName, workspace);
}
