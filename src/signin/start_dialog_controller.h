// What Continue on the Start dialog does: asks the client library for the
// authorization address, opens it in the embedded browser, hands the wait for
// the tokens to the sign-in runner and closes the Start dialog.
#pragma once

#include <memory>

#include "cloud/norvane_client.h"
#include "signin/auth_browser_opener.h"
#include "ui/ui_facade.h"

class StartDialogController {
 public:
  // The client may be empty; that aborts the sign-in like an empty address
  // does: the failure is left in the sign-in state and Start closes.
  void onContinue(std::shared_ptr<INorvaneClient> client);

 private:
  void abortSignIn();

  UifcFacade& ui_ = uiFacade();
  CreoAuthBrowserOpener browserOpener_;
};
