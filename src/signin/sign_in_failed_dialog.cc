#include "signin/sign_in_failed_dialog.h"

#include <exception>
#include <memory>

#include "core/log.h"
#include "signin/sign_in_context.h"
#include "ui/dialog_listeners.h"
#include "ui/ui_facade.h"

namespace {
constexpr const char* kDialog = "SignInFailed";
constexpr const char* kErrorMessageLabel = "ErrorMessageLabel";
constexpr const char* kBackToSignInButton = "BackToSignInButton";

void destroyAfterFailure(UifcFacade& ui) {
  try {
    ui.DestroyDialog(kDialog);
  } catch (...) {
    logDebug("DestroyDialog failed during SignInFailed cleanup.");
  }
}
}  // namespace

void SignInFailedDialog::showDialog(const std::string& message) {
  UifcFacade& ui = uiFacade();
  // Declared before the dialog so that they outlive it on every path.
  std::unique_ptr<DialogCloseAction> closeAction;
  std::unique_ptr<BackToSignInAction> backAction;
  try {
    signInState().backToSignIn = false;
    logDebug("Sign in failed dialog opened.");
    ui.CreateDialog(kDialog, kDialog);
    if (!message.empty()) ui.SetLabelText(kDialog, kErrorMessageLabel, message);
    closeAction = std::make_unique<DialogCloseAction>();
    ui.AddDialogListener(kDialog, closeAction.get());
    backAction = std::make_unique<BackToSignInAction>();
    ui.AddPushButtonListener(kDialog, kBackToSignInButton, backAction.get());
    ui.ActivateDialog(kDialog);
    ui.DestroyDialog(kDialog);
    closeAction.reset();
    backAction.reset();
    logDebug("Sign in failed dialog closed.");
  } catch (const std::exception& e) {
    logError(std::string("Error detected in SignInFailedDialog::showDialog: ") + e.what());
    destroyAfterFailure(ui);
  } catch (...) {
    logError("Unknown error detected in SignInFailedDialog::showDialog.");
    destroyAfterFailure(ui);
  }
}

void BackToSignInAction::OnActivate(uifcPushButton_ptr) {
  try {
    logDebug("Back to Sign In button activated on SignInFailed dialog.");
    signInState().backToSignIn = true;
    uiFacade().ExitDialog(kDialog, 0);
  } catch (const std::exception& e) {
    logError(std::string("Error in BackToSignInAction::OnActivate: ") + e.what());
  } catch (...) {
    logError("Unknown error in BackToSignInAction::OnActivate.");
  }
}
