// The upload of the current model to the chosen workspace, with its progress
// dialog. Not part of this build yet: the entry says so and ends the workflow.
#pragma once

#include "cloud/norvane_client.h"

// What the workflow does after the upload operation.
enum UploadOperationOutcome { kOpenUploadDialogAgain = 1, kSignInStarted = 2, kWorkflowEnds = 3 };

class UploadOperationDialog {
 public:
  static int showDialog(NorvaneWorkspace workspace);
};
