// Continue on the Start dialog: starts the browser sign-in.
#pragma once

#include <uifcPushButton.h>
#include <uifcDefaultListeners.h>

class ContinueAction : public uifcDefaultPushButtonListener {
 public:
  // Catches everything: a failure is left in the sign-in state and closes Start.
  void OnActivate(uifcPushButton_ptr handle) override;
};
