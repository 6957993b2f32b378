// The first dialog of the sign-in: Loading, for at least three seconds the
// first time in a Creo session, then the Start dialog.
#pragma once

#include "signin/auth_flow_runner.h"

class LoadingDialog {
 public:
  // Called on Creo's UI thread. Catches everything.
  static void showDialog();
};

// The thread that keeps the Loading dialog up for its three seconds; it ends
// with the sign-in before Creo unloads the add-in.
ThreadAuthFlowRunner& loadingWorkerRunner();
