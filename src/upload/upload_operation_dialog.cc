// Placeholder entry: the upload operation is not part of this build yet.
#include "upload/upload_operation_dialog.h"

#include <string>

#include "core/log.h"

int UploadOperationDialog::showDialog(NorvaneWorkspace workspace) {
  logInfo("UploadOperationDialog::showDialog: upload operation not available in this build. workspace_id=" +
          std::to_string(workspace.id));
  return kWorkflowEnds;
}
