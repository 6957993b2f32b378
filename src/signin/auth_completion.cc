#include "signin/auth_completion.h"

#include <chrono>
#include <exception>
#include <string>

#include "cloud/client_provider.h"
#include "cloud/session_functions.h"
#include "core/log.h"
#include "signin/auth_flow_runner.h"
#include "signin/loading_dialog.h"
#include "signin/sign_in_state.h"

namespace {

// Long enough for a cancelled wait to notice (a tenth of a second) and for a
// token exchange already under way to end; Creo's unload waits this long at most.
constexpr std::chrono::seconds kUnloadWait{10};

void endWithoutTokens(const StopRequest& stop, const std::string& error, const std::string& reason) {
  if (stop.requested()) {
    logInfo("Sign-in cancelled: " + reason);
    return;
  }
  logError(error);
  signInState().failed.store(true);
}

}  // namespace

void completeAuthentication(std::shared_ptr<INorvaneClient> client, StopRequest stop) {
  try {
    logDebug("Waiting for authentication to complete.");
    NorvaneLocalAuthTokens tokens = client->localAuthFlowComplete();
    SessionManager& session = getSessionManager();
    session.setTokens(tokens);
    // The user of these tokens, not a user cached by an earlier sign-in that
    // finished first: the dialogs must name the account the uploads go to.
    const std::optional<NorvaneUser> user = fetchUserWithToken(*client, session, tokens);
    logDebug("Authentication tokens stored.");
    if (user)
      logInfo("Login completed.");
    else
      logWarning("Login completed, but user details were unavailable.");
  } catch (const std::exception& e) {
    endWithoutTokens(stop, std::string("Error during authentication completion: ") + e.what(), e.what());
  } catch (...) {
    endWithoutTokens(stop, "Unknown error during authentication completion.", "unknown error");
  }
}

void endSignInBeforeUnload() {
  ThreadAuthFlowRunner& runner = signInRunner();
  // Stop first, so that the waiting thread takes the library's cancellation for one.
  runner.requestStop();
  loadingWorkerRunner().requestStop();
  if (const auto client = peekNorvaneClient()) client->localAuthFlowCancel();
  if (!runner.waitForAll(kUnloadWait)) logWarning("Sign-in thread still running at termination.");
  if (!loadingWorkerRunner().waitForAll(kUnloadWait)) logWarning("Loading worker still running at termination.");
}
