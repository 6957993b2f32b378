// The sign-in entry: the Start dialog with Continue, or SignInFailed when the
// last sign-in failed in the background.
#pragma once

class StartDialog {
 public:
  // Shows SignInFailed when the last sign-in failed (consuming it), else Start;
  // repeats while the user goes back to sign-in. Catches everything.
  static void showDialog();
};
