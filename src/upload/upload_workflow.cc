#include "upload/upload_workflow.h"

#include <optional>

#include "core/log.h"
#include "signin/loading_dialog.h"
#include "upload/start_file_upload_dialog.h"
#include "upload/upload_operation_dialog.h"

void runUploadWorkflow(WorkflowStep step, const UploadPauses& pauses) {
  std::optional<NorvaneWorkspace> workspace;
  while (step != WorkflowStep::End) {
    switch (step) {
      case WorkflowStep::SignIn:
        LoadingDialog::showDialog();
        step = WorkflowStep::End;
        break;
      case WorkflowStep::UploadDialog: {
        StartFileUploadDialog dialog;
        step = dialog.showDialog();
        workspace = dialog.chosenWorkspace();
        break;
      }
      case WorkflowStep::Upload:
        step = workspace ? UploadOperationDialog(pauses).showDialog(*workspace) : WorkflowStep::End;
        if (step == WorkflowStep::UploadDialog) logInfo("Returning to upload dialog after workspace error.");
        break;
      case WorkflowStep::End:
        break;
    }
  }
}
