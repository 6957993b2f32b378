// The first dialog of the sign-in: Loading, for at least three seconds the
// first time in a Creo session, then the Start dialog.
#pragma once

class LoadingDialog {
 public:
  // Called on Creo's UI thread. Catches everything.
  static void showDialog();
};
