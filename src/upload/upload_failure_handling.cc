#include "upload/upload_failure_handling.h"

#include "core/log.h"
#include "signin/loading_dialog.h"
#include "signin/sign_out_flow.h"
#include "ui/generic_error_dialog.h"
#include "ui/upload_failed_dialog.h"
#include "upload/upload_operation_dialog.h"

namespace {

int showFailure(UifcFacade& ui, SessionManager& session, const UploadFailure& failure,
                const std::string& modelFileName, const NorvaneWorkspace& workspace, const UploadRetry& retry) {
  GenericErrorDialog genericError(ui, signOutOf);
  switch (failure.kind) {
    case UploadFailureKind::WorkspaceNotAccessible:
      logInfo("Workspace not accessible. Showing error to return to upload dialog.");
      return genericError.showDialog(failure.message, "Workspace no longer accessible", "Back to Upload", true)
                 ? kOpenUploadDialogAgain
                 : kWorkflowEnds;
    case UploadFailureKind::SessionExpired:
      logInfo("Auth expired during upload. Redirecting to sign-in.");
      if (!genericError.showDialog(failure.message, "Session Expired", "Back to Sign In", true)) return kWorkflowEnds;
      session.clear();
      LoadingDialog::showDialog();
      return kSignInStarted;
    case UploadFailureKind::UnsupportedModel:
      logInfo("Unsupported model type. Showing error.");
      genericError.showDialog(failure.message.empty() ? "This model type is not supported for upload."
                                                      : failure.message,
                              "Unsupported Model", "", false);
      return kWorkflowEnds;
    default:
      break;
  }
  const std::string workspaceText = modelFileName + "  \u2192  " + workspace.name;
  const std::optional<bool> retryRequested = UploadFailedDialog(ui, signOutOf).showDialog(workspaceText, failure.message);
  if (!retryRequested) {
    logError("UploadFailedDialog failed to display. Falling back to GenericErrorDialog.");
    genericError.showDialog(kRequestFailedMessage, "", "", true);
    return kWorkflowEnds;
  }
  if (!*retryRequested) return kWorkflowEnds;
  logInfo("User requested upload retry.");
  return retry();
}

}  // namespace

int handleUploadFailure(UifcFacade& ui, SessionManager& session, UploadOperationState& state,
                        const std::string& modelFileName, const NorvaneWorkspace& workspace, const UploadRetry& retry) {
  logDebug("An error occurred while uploading. Displaying the error dialog.");
  state.clearDone();
  try {
    ui.DestroyDialog("Upload");
  } catch (...) {
    logDebug("DestroyDialog failed during upload failure cleanup.");
  }
  const UploadFailure failure = state.snapshot().failure;
  // Cleared before a retry, which starts from a clean state of its own.
  state.clearFailure();
  return showFailure(ui, session, failure, modelFileName, workspace, retry);
}
