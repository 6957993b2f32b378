#include "signin/sign_out_flow.h"

#include "cloud/cloud_connection.h"
#include "core/log.h"

SignOutFlow::SignOutFlow(std::shared_ptr<INorvaneClient> client, std::string dialogName)
    : client_(std::move(client)), dialogName_(std::move(dialogName)) {}

std::string SignOutFlow::signOut() {
  logInfo("User sign-out initiated.");
  const std::string url = client_->localAuthFlowLogout();
  if (url.empty())
    logWarning("Logout URL was empty.");
  else
    logDebug("Logout URL returned: " + url);

  sessionManager_.clear();
  logInfo("User signed out.");

  if (!url.empty()) {
    logDebug("Opening embedded browser for sign-out.");
    try {
      browserOpener_.openUrl(url);
    } catch (...) {
      // The session is gone: the dialog that still shows it closes all the same.
      ui_.ExitDialog(dialogName_, 0);
      throw;
    }
  } else {
    logWarning("Sign-out URL was empty; embedded browser not opened.");
  }
  ui_.ExitDialog(dialogName_, 0);
  return url;
}

void signOutOf(const std::string& dialogName) {
  SignOutFlow(getNorvaneClient(), dialogName).signOut();
}

SignedInAccount signedInAccount() {
  auto email = [] {
    const std::shared_ptr<const NorvaneUser> user = getSessionManager().getCachedUser();
    return user ? user->email : std::string();
  };
  return SignedInAccount{email, signOutOf};
}
