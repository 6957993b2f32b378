// The error box of an upload that failed in a way that may pass: the model and
// workspace, what went wrong, and Retry Upload, Cancel and Sign Out.
#pragma once

#include <optional>
#include <string>

#include <uifcPushButton.h>
#include <uifcDefaultListeners.h>

#include "ui/generic_error_dialog.h"
#include "ui/ui_facade.h"

class UploadFailedDialog {
 public:
  explicit UploadFailedDialog(SignedInAccount account) : account_(std::move(account)) {}

  // Empty texts keep the resource's own. True when the user pressed Retry
  // Upload; nothing when the dialog could not be shown, so the caller can fall
  // back to the generic error dialog. Called on Creo's UI thread; catches everything.
  std::optional<bool> showDialog(const std::string& workspaceText, const std::string& message);

 private:
  UifcFacade& ui_ = uiFacade();
  SignedInAccount account_;
  bool retryRequested_ = false;
};

class UploadFailedCancelAction : public uifcDefaultPushButtonListener {
 public:
  explicit UploadFailedCancelAction(bool& retryRequested) : retryRequested_(retryRequested) {}
  void OnActivate(uifcPushButton_ptr handle) override;

 private:
  bool& retryRequested_;
};

class UploadFailedRetryAction : public uifcDefaultPushButtonListener {
 public:
  explicit UploadFailedRetryAction(bool& retryRequested) : retryRequested_(retryRequested) {}
  void OnActivate(uifcPushButton_ptr handle) override;

 private:
  bool& retryRequested_;
};

class UploadFailedSignOutAction : public uifcDefaultPushButtonListener {
 public:
  explicit UploadFailedSignOutAction(SignOutRunner signOut) : signOut_(std::move(signOut)) {}
  void OnActivate(uifcPushButton_ptr handle) override;

 private:
  SignOutRunner signOut_;
};
