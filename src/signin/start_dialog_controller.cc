#include "signin/start_dialog_controller.h"

#include "core/log.h"
#include "signin/auth_completion.h"
#include "signin/sign_in_context.h"

namespace {
constexpr const char* kDialog = "Start";
}  // namespace

void StartDialogController::abortSignIn() {
  ui_.ExitDialog(kDialog, 0);
  signInState().failed.store(true);
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
  ThreadAuthFlowRunner& runner = signInRunner();
  runner.requestStop();
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

  runner.run([client](StopRequest stop) { completeAuthentication(client, stop); });
  logDebug("Background auth completion task started.");

  // The Start dialog closes while the browser stays open.
  ui_.ExitDialog(kDialog, 0);
  logDebug("Sign-in dialog exit requested.");
}
