// The upload dialog's own listeners: each hands its event to the dialog's
// controller and catches whatever that raises.
#pragma once

#include "host/uifc.h"

class StartFileUploadDialog;

class UploadAction : public uifcDefaultPushButtonListener {
 public:
  explicit UploadAction(StartFileUploadDialog& dialog) : dialog_(dialog) {}
  void OnActivate(uifcPushButton_ptr handle) override;

 private:
  StartFileUploadDialog& dialog_;
};

class KnowledgeCenterAction : public uifcDefaultPushButtonListener {
 public:
  explicit KnowledgeCenterAction(StartFileUploadDialog& dialog) : dialog_(dialog) {}
  void OnActivate(uifcPushButton_ptr handle) override;

 private:
  StartFileUploadDialog& dialog_;
};

class SignOutAction : public uifcDefaultPushButtonListener {
 public:
  explicit SignOutAction(StartFileUploadDialog& dialog) : dialog_(dialog) {}
  void OnActivate(uifcPushButton_ptr handle) override;

 private:
  StartFileUploadDialog& dialog_;
};

class CheckExistingRevisionOnWorkspaceSelect : public uifcDefaultOptionMenuListener {
 public:
  explicit CheckExistingRevisionOnWorkspaceSelect(StartFileUploadDialog& dialog) : dialog_(dialog) {}
  void OnSelect(uifcOptionMenu_ptr handle) override;

 private:
  StartFileUploadDialog& dialog_;
};

class CheckExistingRevisionOnDialogDisplay : public uifcDefaultDialogListener {
 public:
  explicit CheckExistingRevisionOnDialogDisplay(StartFileUploadDialog& dialog) : dialog_(dialog) {}
  void OnDisplay(uifcDialog_ptr handle) override;

 private:
  StartFileUploadDialog& dialog_;
};
