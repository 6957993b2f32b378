// Sign-out from a dialog's Sign Out button: forgets the session, shows the
// service's logout page in the embedded browser and closes the dialog.
#pragma once

#include <memory>
#include <string>

#include "cloud/cloud_connection.h"
#include "cloud/norvane_client.h"
#include "cloud/session_manager.h"
#include "signin/auth_browser_opener.h"
#include "ui/generic_error_dialog.h"
#include "ui/ui_facade.h"

class SignOutFlow {
 public:
  SignOutFlow(std::shared_ptr<INorvaneClient> client, std::string dialogName);

  // Returns the logout address, possibly empty. A failure to get it from the
  // library propagates before anything is cleared.
  std::string signOut();

 private:
  UifcFacade& ui_ = uiFacade();
  CreoAuthBrowserOpener browserOpener_;
  SessionManager& sessionManager_ = getSessionManager();
  std::shared_ptr<INorvaneClient> client_;
  std::string dialogName_;
};

// The Sign Out button of `dialogName`: the flow above with the add-in's
// facade, session and client.
void signOutOf(const std::string& dialogName);
// The add-in's session as the error dialogs see it: the cached user's e-mail
// and signOutOf.
SignedInAccount signedInAccount();
