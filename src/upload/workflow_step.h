// What a dialog of the upload workflow asks for next; the workflow's loop
// opens it (upload_workflow.h).
#pragma once

enum class WorkflowStep {
  End,           // nothing more to show
  SignIn,        // Loading, then Start: the session was cleared
  UploadDialog,  // the upload dialog for the current model
  Upload,        // an upload operation to the workspace chosen last (again, for a retry)
};
