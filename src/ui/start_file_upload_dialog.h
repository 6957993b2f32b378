// The upload dialog for the model in the active window.
#pragma once

class StartFileUploadDialog {
 public:
  // Called on Creo's UI thread. Catches everything.
  static void showDialog();
};
