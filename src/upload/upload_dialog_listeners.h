// The upload dialog's own listeners: each hands its event to the dialog's
// handler it was given and catches whatever that raises.
#pragma once

#include <functional>
#include <utility>

#include <uifcDialog.h>
#include <uifcPushButton.h>
#include <uifcOptionMenu.h>
#include <uifcDefaultListeners.h>

template <class ToolkitListener>
class UploadDialogListener : public ToolkitListener {
 public:
  explicit UploadDialogListener(std::function<void()> handle) : handle_(std::move(handle)) {}

 protected:
  std::function<void()> handle_;
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
