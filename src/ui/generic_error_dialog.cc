#include "ui/generic_error_dialog.h"

#include <exception>
#include <memory>
#include <stdexcept>

#include "core/log.h"
#include "ui/dialog_conventions.h"
#include "ui/dialog_listeners.h"

namespace {

constexpr const char* kDialog = "GenericError";
constexpr const char* kTitleLabel = "ErrorTitleLabel";
constexpr const char* kMessageLabel = "ErrorMessageLabel";
constexpr const char* kStartOverButton = "StartOverButton";
constexpr const char* kSignOutButton = "SignOutButton";

}  // namespace

GenericErrorDialog::GenericErrorDialog(SignedInAccount account) : account_(std::move(account)) {}

bool GenericErrorDialog::showDialog(const std::string& message, const std::string& title,
                                    const std::string& buttonText, bool showButton) {
  startOverPressed_ = false;
  // Declared before the dialog so that they outlive it on every path.
  std::unique_ptr<DialogCloseAction> closeAction;
  std::unique_ptr<GenericErrorStartOverAction> startOverAction;
  std::unique_ptr<GenericErrorSignOutAction> signOutAction;
  try {
    logDebug("Generic error dialog opened.");
    ui_.CreateDialog(kDialog, kDialog);
    showUserEmail(ui_, kDialog, account_.email, kGenericErrorUserEmailWarning);
    if (!title.empty()) ui_.SetLabelText(kDialog, kTitleLabel, title);
    if (!message.empty()) ui_.SetLabelText(kDialog, kMessageLabel, message);

    closeAction = std::make_unique<DialogCloseAction>();
    ui_.AddDialogListener(kDialog, closeAction.get());
    if (!showButton)
      ui_.SetButtonVisible(kDialog, kStartOverButton, false);
    else if (!buttonText.empty())
      ui_.SetButtonText(kDialog, kStartOverButton, buttonText);

    showIntegrationVersion(ui_, kDialog);
    startOverAction = std::make_unique<GenericErrorStartOverAction>(startOverPressed_);
    ui_.AddPushButtonListener(kDialog, kStartOverButton, startOverAction.get());
    signOutAction = std::make_unique<GenericErrorSignOutAction>(account_.signOut);
    ui_.AddPushButtonListener(kDialog, kSignOutButton, signOutAction.get());

    ui_.ActivateDialog(kDialog);
    ui_.DestroyDialog(kDialog);
    logDebug("Generic error dialog closed.");
    return startOverPressed_;
  } catch (...) {
    logError("Unknown error detected in GenericErrorDialog::showDialog.");
    try {
      ui_.DestroyDialog(kDialog);
    } catch (...) {
      logDebug("DestroyDialog failed during GenericError cleanup.");
    }
    return startOverPressed_;
  }
}

void GenericErrorStartOverAction::OnActivate(uifcPushButton_ptr handle) {
  try {
    logDebug("Start Over button activated on GenericError dialog.");
    startOverPressed_ = true;
    if (!handle) throw std::invalid_argument("no button handle");
    uiFacade().ExitOwningDialog(*handle, 0);
  } catch (const std::exception& e) {
    logError(std::string("Error in GenericErrorStartOverAction::OnActivate: ") + e.what());
  } catch (...) {
    logError("Unknown error in GenericErrorStartOverAction::OnActivate.");
  }
}

GenericErrorSignOutAction::GenericErrorSignOutAction(SignOutRunner signOut) : signOut_(std::move(signOut)) {}

void GenericErrorSignOutAction::OnActivate(uifcPushButton_ptr) {
  try {
    signOut_(kDialog);
  } catch (const std::exception& e) {
    logError(std::string("Error in GenericErrorSignOutAction::OnActivate: ") + e.what());
  } catch (...) {
    logError("Unknown error in GenericErrorSignOutAction::OnActivate.");
  }
}
