#include "signin/start_dialog.h"

#include <exception>
#include <memory>

#include "core/log.h"
#include "signin/continue_action.h"
#include "signin/sign_in_failed_dialog.h"
#include "signin/sign_in_context.h"
#include "signin/sign_out_flow.h"
#include "ui/dialog_listeners.h"
#include "ui/generic_error_dialog.h"
#include "ui/ui_facade.h"

namespace {

constexpr const char* kDialog = "Start";
constexpr const char* kLoginButton = "LoginButton";
constexpr const char* kStartOverMessage = "We couldn't complete the request.\nPlease start over.";

void destroyAfterFailure(UifcFacade& ui) {
  try {
    ui.DestroyDialog(kDialog);
  } catch (...) {
    logDebug("DestroyDialog failed during StartDialog cleanup.");
  }
}

}  // namespace

void StartDialog::showDialog() {
  UifcFacade& ui = uiFacade();
  for (;;) {
    // Declared before the dialog so that they outlive it on every path.
    std::unique_ptr<DialogCloseAction> closeAction;
    std::unique_ptr<ContinueAction> continueAction;
    try {
      if (signInState().failed.exchange(false)) {
        logDebug("Previous auth failure detected; showing SignInFailed from UI thread.");
        SignInFailedDialog::showDialog(kSignInFailedMessage);
      } else {
        logDebug("Login dialog opened.");
        ui.CreateDialog(kDialog, kDialog);
        logDebug("Assigning close action to startDialog.");
        closeAction = std::make_unique<DialogCloseAction>();
        ui.AddDialogListener(kDialog, closeAction.get());
        logDebug("Assigning continue action to startDialog.");
        continueAction = std::make_unique<ContinueAction>();
        ui.AddPushButtonListener(kDialog, kLoginButton, continueAction.get());
        signInState().failed.store(false);
        logDebug("Displaying start sign-in dialog.");
        ui.ActivateDialog(kDialog);
        logDebug("Destroying sign-in dialog and associated actions.");
        ui.DestroyDialog(kDialog);
      }
    } catch (const std::exception& e) {
      logError(std::string("Error detected in StartDialog::showDialog: ") + e.what());
      destroyAfterFailure(ui);
      GenericErrorDialog(signedInAccount()).showDialog(kStartOverMessage, "", "", true);
      return;
    } catch (...) {
      logError("Unknown error detected in StartDialog::showDialog.");
      destroyAfterFailure(ui);
      GenericErrorDialog(signedInAccount()).showDialog(kStartOverMessage, "", "", true);
      return;
    }
    if (!signInState().backToSignIn) return;
    signInState().backToSignIn = false;
    logInfo("User requested retry from SignInFailedDialog.");
  }
}
