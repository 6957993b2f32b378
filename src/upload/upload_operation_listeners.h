// The completion panel's own buttons: each hands its event to the upload
// operation and catches whatever that raises.
#pragma once

#include <uifcPushButton.h>
#include <uifcDefaultListeners.h>

class UploadOperationDialog;

class OpenInTavixAction : public uifcDefaultPushButtonListener {
 public:
  explicit OpenInTavixAction(UploadOperationDialog& dialog) : dialog_(dialog) {}
  void OnActivate(uifcPushButton_ptr handle) override;

 private:
  UploadOperationDialog& dialog_;
};

class UploadAnotherWorkspaceAction : public uifcDefaultPushButtonListener {
 public:
  explicit UploadAnotherWorkspaceAction(UploadOperationDialog& dialog) : dialog_(dialog) {}
  void OnActivate(uifcPushButton_ptr handle) override;

 private:
  UploadOperationDialog& dialog_;
};
