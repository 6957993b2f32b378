#include "signin/continue_action.h"

#include <exception>

#include <uifcPushButton.h>
#include <pfcExceptions.h>

#include "cloud/cloud_connection.h"
#include "core/log.h"
#include "core/toolkit_guard.h"
#include "signin/sign_in_context.h"
#include "signin/start_dialog_controller.h"
#include "ui/ui_facade.h"

namespace {

constexpr const char* kStartDialog = "Start";

void signIn() {
  logDebug("ContinueAction activated.");
  logDebug("Resolving norvane client instance.");
  std::shared_ptr<INorvaneClient> client = getNorvaneClient();
  logDebug("norvane client instance resolved.");

  logDebug("Constructing StartDialogController.");
  StartDialogController controller;

  logDebug("Invoking StartDialogController::onContinue.");
  controller.onContinue(client);
  logDebug("StartDialogController::onContinue returned.");
}

// Marks the sign-in as failed and closes Start; the next Start dialog shows why.
void failSignIn(const char* exitFailureMessage) {
  signInState().failed.store(true);
  try {
    uiFacade().ExitDialog(kStartDialog, 0);
  } catch (...) {
    logDebug(exitFailureMessage);
  }
}

}  // namespace

void ContinueAction::OnActivate(uifcPushButton_ptr) {
  try {
    if (catchToolkitError([] { signIn(); })) {
      logError("Creo toolkit error detected in ContinueAction::OnActivate.");
      failSignIn("ExitDialog failed in ContinueAction toolkit error handler.");
    }
  } catch (const std::exception& e) {
    logError(std::string("Error detected in ContinueAction::OnActivate: ") + e.what());
    failSignIn("ExitDialog failed in ContinueAction error handler.");
  } catch (...) {
    logError("Unknown error detected in ContinueAction::OnActivate.");
    failSignIn("ExitDialog failed in ContinueAction error handler.");
  }
}
