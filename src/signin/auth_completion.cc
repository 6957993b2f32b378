#include "signin/auth_completion.h"

#include <exception>
#include <string>

#include "cloud/cloud_connection.h"
#include "cloud/session_functions.h"
#include "core/log.h"
#include "signin/sign_in_context.h"

namespace {

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
