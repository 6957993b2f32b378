// Listeners that only close the dialog they belong to. Like every listener,
// they catch what they raise: nothing returns into the toolkit's dispatch.
#pragma once

#include <uifcDialog.h>
#include <uifcPushButton.h>
#include <uifcDefaultListeners.h>

// The window's close control: exits the dialog with status 0.
class DialogCloseAction : public uifcDefaultDialogListener {
 public:
  void OnClose(uifcDialog_ptr handle) override;
};

// A Cancel or Close button: exits the button's dialog with status 0.
class PushButtonCloseAction : public uifcDefaultPushButtonListener {
 public:
  void OnActivate(uifcPushButton_ptr handle) override;
};
