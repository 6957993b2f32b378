// What Continue on the Start dialog does: asks the client library for the
// authorization address, opens it in the embedded browser, hands the wait for
// the tokens to a background runner and closes the Start dialog.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "cloud/norvane_client.h"
#include "signin/auth_browser_opener.h"
#include "signin/auth_flow_runner.h"
#include "ui/ui_facade.h"

class StartDialogController {
 public:
  // Runs on the background runner with the controller's client; the stop
  // request says whether the sign-in was replaced or the add-in is unloading.
  using AuthCompleteCallback = std::function<void(std::shared_ptr<INorvaneClient>, StopRequest)>;
  // Runs on the UI thread with the message for the user.
  using AuthErrorCallback = std::function<void(const std::string&)>;

  StartDialogController(UifcFacade& ui, CreoAuthBrowserOpener& browserOpener, ThreadAuthFlowRunner& flowRunner,
                        AuthCompleteCallback onAuthComplete, AuthErrorCallback onAuthError,
                        std::string dialogName);

  // The client may be empty; that aborts the sign-in like an empty address does.
  void onContinue(std::shared_ptr<INorvaneClient> client);

 private:
  void abortSignIn();

  UifcFacade& ui_;
  CreoAuthBrowserOpener& browserOpener_;
  ThreadAuthFlowRunner& flowRunner_;
  AuthCompleteCallback onAuthComplete_;
  AuthErrorCallback onAuthError_;
  std::string dialogName_;
};
