// Placeholder entry: the upload dialog is not part of this build yet.
#include "ui/start_file_upload_dialog.h"

#include "core/log.h"

void StartFileUploadDialog::showDialog() {
  logInfo("StartFileUploadDialog::showDialog: upload dialog not available in this build.");
}
