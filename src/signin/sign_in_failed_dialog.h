// Tells the user that the last sign-in did not complete and offers to go back
// to the Start dialog.
#pragma once

#include <string>

#include <uifcPushButton.h>
#include <uifcDefaultListeners.h>

class SignInFailedDialog {
 public:
  // Runs the dialog until it is closed; an empty message keeps the resource's
  // text. Back to Sign In leaves signInState().backToSignIn set for the Start dialog.
  static void showDialog(const std::string& message);
};

class BackToSignInAction : public uifcDefaultPushButtonListener {
 public:
  void OnActivate(uifcPushButton_ptr handle) override;
};
