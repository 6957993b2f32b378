// The common error box: a message, an optional title and an optional action
// button (Start Over, or the text a caller gives it), with Sign Out beside it.
#pragma once

#include <functional>
#include <string>

#include <uifcPushButton.h>
#include <uifcDefaultListeners.h>

#include "ui/ui_facade.h"

// Signs the user out and closes the named dialog.
using SignOutRunner = std::function<void(const std::string& dialog)>;

// What the error dialogs show of the signed-in account and do with it: the
// session belongs to the layers above this one, which hand both down.
struct SignedInAccount {
  // The user's e-mail, "" when none is signed in; may throw.
  std::function<std::string()> email;
  SignOutRunner signOut;
};

class GenericErrorDialog {
 public:
  explicit GenericErrorDialog(SignedInAccount account);

  // Empty title or message keep the resource's own text; with showButton the
  // action button shows buttonText (or its own text when that is empty).
  // Returns true when the user pressed the action button. Called on Creo's UI
  // thread. Catches everything.
  bool showDialog(const std::string& message, const std::string& title, const std::string& buttonText,
                  bool showButton);

 private:
  UifcFacade& ui_ = uiFacade();
  SignedInAccount account_;
  bool startOverPressed_ = false;
};

class GenericErrorStartOverAction : public uifcDefaultPushButtonListener {
 public:
  explicit GenericErrorStartOverAction(bool& startOverPressed) : startOverPressed_(startOverPressed) {}
  void OnActivate(uifcPushButton_ptr handle) override;

 private:
  bool& startOverPressed_;
};

class GenericErrorSignOutAction : public uifcDefaultPushButtonListener {
 public:
  explicit GenericErrorSignOutAction(SignOutRunner signOut);
  void OnActivate(uifcPushButton_ptr handle) override;

 private:
  SignOutRunner signOut_;
};
