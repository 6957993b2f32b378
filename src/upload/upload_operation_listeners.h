// The completion panel's own buttons: each hands its press to the upload
// operation's handler it was given and catches whatever that raises.
#pragma once

#include <functional>
#include <utility>

#include <uifcPushButton.h>
#include <uifcDefaultListeners.h>

class CompletionPanelAction : public uifcDefaultPushButtonListener {
 public:
  using Handler = std::function<void(uifcPushButton_ptr)>;
  explicit CompletionPanelAction(Handler handle) : handle_(std::move(handle)) {}

 protected:
  // Runs the handler; whatever it raises is logged under the listener's name.
  void run(const char* listener, uifcPushButton_ptr handle);

 private:
  Handler handle_;
};

class OpenInTavixAction : public CompletionPanelAction {
 public:
  using CompletionPanelAction::CompletionPanelAction;
  void OnActivate(uifcPushButton_ptr handle) override;
};

class UploadAnotherWorkspaceAction : public CompletionPanelAction {
 public:
  using CompletionPanelAction::CompletionPanelAction;
  void OnActivate(uifcPushButton_ptr handle) override;
};
