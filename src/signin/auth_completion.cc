#include "signin/auth_completion.h"

#include <exception>

#include "cloud/client_provider.h"
#include "cloud/session_functions.h"
#include "core/log.h"
#include "signin/sign_in_flags.h"

void completeAuthentication(std::shared_ptr<INorvaneClient> client) {
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
    logError(std::string("Error during authentication completion: ") + e.what());
    authFailureFlag.store(1);
  } catch (...) {
    logError("Unknown error during authentication completion.");
    authFailureFlag.store(1);
  }
}
