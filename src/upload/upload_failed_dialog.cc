#include "upload/upload_failed_dialog.h"

#include <exception>
#include <memory>
#include <stdexcept>

#include "core/log.h"
#include "ui/dialog_conventions.h"
#include "ui/dialog_listeners.h"

namespace {

constexpr const char* kDialog = "UploadFailed";

// Records the user's choice and closes the dialog; logs under the listener's name.
void recordChoiceAndExit(uifcPushButton_ptr& handle, bool& retryRequested, bool retry,
                         const char* errorPrefix, const char* unknownError) {
  try {
    logDebug(retry ? "Retry Upload button activated on UploadFailed dialog."
                   : "Cancel button activated on UploadFailed dialog.");
    retryRequested = retry;
    if (!handle) throw std::invalid_argument("no button handle");
    uiFacade().ExitOwningDialog(*handle, 0);
  } catch (const std::exception& e) {
    logError(errorPrefix + std::string(e.what()));
  } catch (...) {
    logError(unknownError);
  }
}

}  // namespace

std::optional<bool> UploadFailedDialog::showDialog(const std::string& workspaceText, const std::string& message) {
  retryRequested_ = false;
  // Declared before the dialog so that they outlive it on every path.
  std::unique_ptr<DialogCloseAction> closeAction;
  std::unique_ptr<UploadFailedCancelAction> cancelAction;
  std::unique_ptr<UploadFailedRetryAction> retryAction;
  std::unique_ptr<UploadFailedSignOutAction> signOutAction;
  try {
    logDebug("Upload failed dialog opened.");
    ui_.CreateDialog(kDialog, kDialog);
    showUserEmail(ui_, kDialog, account_.email, kUploadFailedUserEmailWarning);
    if (!workspaceText.empty()) ui_.SetLabelText(kDialog, "ModelWorkspaceLabel", workspaceText);
    if (!message.empty()) ui_.SetLabelText(kDialog, "ErrorMessageLabel", message);
    showIntegrationVersion(ui_, kDialog);

    closeAction = std::make_unique<DialogCloseAction>();
    ui_.AddDialogListener(kDialog, closeAction.get());
    cancelAction = std::make_unique<UploadFailedCancelAction>(retryRequested_);
    ui_.AddPushButtonListener(kDialog, "CancelButton", cancelAction.get());
    retryAction = std::make_unique<UploadFailedRetryAction>(retryRequested_);
    ui_.AddPushButtonListener(kDialog, "RetryUploadButton", retryAction.get());
    signOutAction = std::make_unique<UploadFailedSignOutAction>(account_.signOut);
    ui_.AddPushButtonListener(kDialog, "SignOutButton", signOutAction.get());

    ui_.ActivateDialog(kDialog);
    ui_.DestroyDialog(kDialog);
    logDebug("Upload failed dialog closed.");
    return retryRequested_;
  } catch (...) {
    logError("Unknown error detected in UploadFailedDialog::showDialog.");
    try {
      ui_.DestroyDialog(kDialog);
    } catch (...) {
      logDebug("DestroyDialog failed during UploadFailed cleanup.");
    }
    return std::nullopt;
  }
}

void UploadFailedCancelAction::OnActivate(uifcPushButton_ptr handle) {
  recordChoiceAndExit(handle, retryRequested_, false, "Error in UploadFailedCancelAction::OnActivate: ",
                      "Unknown error in UploadFailedCancelAction::OnActivate.");
}

void UploadFailedRetryAction::OnActivate(uifcPushButton_ptr handle) {
  recordChoiceAndExit(handle, retryRequested_, true, "Error in UploadFailedRetryAction::OnActivate: ",
                      "Unknown error in UploadFailedRetryAction::OnActivate.");
}

void UploadFailedSignOutAction::OnActivate(uifcPushButton_ptr) {
  try {
    signOut_(kDialog);
  } catch (const std::exception& e) {
    logError(std::string("Error in UploadFailedSignOutAction::OnActivate: ") + e.what());
  } catch (...) {
    logError("Unknown error in UploadFailedSignOutAction::OnActivate.");
  }
}
