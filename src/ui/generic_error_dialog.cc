// Placeholder entry: the error dialogs are not part of this build yet.
#include "ui/generic_error_dialog.h"

#include "core/log.h"

bool GenericErrorDialog::showDialog(const std::string& message, const std::string&, const std::string&, bool) {
  logInfo("GenericErrorDialog::showDialog: error dialog not available in this build. message=" + message);
  return false;
}
