#include "signin/start_dialog_controller.h"

#include "core/log.h"
#include "signin/sign_in_flags.h"

StartDialogController::StartDialogController(UifcFacade& ui, CreoAuthBrowserOpener& browserOpener,
                                             ThreadAuthFlowRunner& flowRunner, AuthCompleteCallback onAuthComplete,
                                             AuthErrorCallback onAuthError, std::string dialogName)
    : ui_(ui),
      browserOpener_(browserOpener),
      flowRunner_(flowRunner),
      onAuthComplete_(std::move(onAuthComplete)),
      onAuthError_(std::move(onAuthError)),
      dialogName_(std::move(dialogName)) {}

void StartDialogController::abortSignIn() {
  if (!onAuthError_) return;
  ui_.ExitDialog(dialogName_, 0);
  onAuthError_(kSignInFailedMessage);
}

void StartDialogController::onContinue(std::shared_ptr<INorvaneClient> client) {
  logInfo("Login initiated.");
  if (!client) {
    logError("norvane client instance is null; aborting sign-in flow.");
    abortSignIn();
    return;
  }

  // Asking for a new address replaces a sign-in still waiting: its end is a
  // cancellation, not a failure to show.
  flowRunner_.requestStop();
  logDebug("Requesting authorization URL from norvane.");
  const std::string url = client->localAuthFlowAuthorize();
  logDebug("Authorization URL retrieved.");
  if (url.empty()) {
    logWarning("Authorization URL was empty; aborting sign-in flow.");
    abortSignIn();
    return;
  }

  browserOpener_.openUrl(url);
  logDebug("Authentication browser open requested.");

  flowRunner_.run([client, onAuthComplete = onAuthComplete_](StopRequest stop) {
    if (onAuthComplete) onAuthComplete(client, stop);
  });
  logDebug("Background auth completion task started.");

  // The Start dialog closes while the browser stays open.
  ui_.ExitDialog(dialogName_, 0);
  logDebug("Sign-in dialog exit requested.");
}
