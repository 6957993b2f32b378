// The common error box: a message, an optional title and an optional action
// button (Start Over, or the text a caller gives it), with Sign Out beside it.
#pragma once

#include <functional>
#include <string>

#include <uifcPushButton.h>
#include <uifcDefaultListeners.h>

#include "ui/ui_facade.h"

// Signs the user out and closes the named dialog. Signing out belongs to a
// layer above this one, which hands it down.
using SignOutRunner = std::function<void(const std::string& dialog)>;

class GenericErrorDialog {
 public:
  GenericErrorDialog(UifcFacade& ui, SignOutRunner signOut);

  // Empty title or message keep the resource's own text; with showButton the
  // action button shows buttonText (or its own text when that is empty).
  // Returns true when the user pressed the action button. Called on Creo's UI
  // thread. Catches everything.
  bool showDialog(const std::string& message, const std::string& title, const std::string& buttonText,
                  bool showButton);

 private:
  UifcFacade& ui_;
  SignOutRunner signOut_;
  bool startOverPressed_ = false;
};

class GenericErrorStartOverAction : public uifcDefaultPushButtonListener {
 public:
  GenericErrorStartOverAction(UifcFacade& ui, bool& startOverPressed);
  void OnActivate(uifcPushButton_ptr handle) override;

 private:
  UifcFacade& ui_;
  bool& startOverPressed_;
};

class GenericErrorSignOutAction : public uifcDefaultPushButtonListener {
 public:
  explicit GenericErrorSignOutAction(SignOutRunner signOut);
  void OnActivate(uifcPushButton_ptr handle) override;

 private:
  SignOutRunner signOut_;
};
