// The upload dialog's own listeners: each hands its event to the dialog's
// controller and catches whatever that raises.
#pragma once

#include <uifcDialog.h>
#include <uifcPushButton.h>
#include <uifcOptionMenu.h>
#include <uifcDefaultListeners.h>

class StartFileUploadDialog;

template <class ToolkitListener>
class UploadDialogListener : public ToolkitListener {
 public:
  explicit UploadDialogListener(StartFileUploadDialog& dialog) : dialog_(dialog) {}

 protected:
  StartFileUploadDialog& dialog_;
};

class UploadAction : public UploadDialogListener<uifcDefaultPushButtonListener> {
 public:
  using UploadDialogListener::UploadDialogListener;
  void OnActivate(uifcPushButton_ptr handle) override;
};

class KnowledgeCenterAction : public UploadDialogListener<uifcDefaultPushButtonListener> {
 public:
  using UploadDialogListener::UploadDialogListener;
  void OnActivate(uifcPushButton_ptr handle) override;
};

class SignOutAction : public UploadDialogListener<uifcDefaultPushButtonListener> {
 public:
  using UploadDialogListener::UploadDialogListener;
  void OnActivate(uifcPushButton_ptr handle) override;
};

class CheckExistingRevisionOnWorkspaceSelect : public UploadDialogListener<uifcDefaultOptionMenuListener> {
 public:
  using UploadDialogListener::UploadDialogListener;
  void OnItemSelect(uifcOptionMenu_ptr handle) override;
};

class CheckExistingRevisionOnDialogDisplay : public UploadDialogListener<uifcDefaultDialogListener> {
 public:
  using UploadDialogListener::UploadDialogListener;
  void OnDisplay(uifcDialog_ptr handle) override;
};
