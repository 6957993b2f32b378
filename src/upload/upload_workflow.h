// The workflow the ribbon button starts: one loop on Creo's UI thread opens
// the dialog each step asks for, and the dialog says which comes next, until
// one ends the workflow. No dialog opens another: a retry, a return to the
// upload dialog or to sign-in is one more turn of the loop.
#pragma once

#include "upload/upload_transfer.h"
#include "upload/workflow_step.h"

// Called on Creo's UI thread. Catches everything, as every dialog does. Each
// upload waits the given pauses.
void runUploadWorkflow(WorkflowStep first, const UploadPauses& pauses);
