#include "upload/upload_operation_listeners.h"

#include <exception>
#include <string>

#include "core/log.h"
#include "host/toolkit_errors.h"
#include "upload/upload_operation_dialog.h"

void OpenInTavixAction::OnActivate(uifcPushButton_ptr handle) {
  try {
    dialog_.openInTavix(handle);
  } catch (const std::exception& e) {
    logError(std::string("Error detected in OpenInTavixAction::OnActivate: ") + e.what());
  } catch (const xthrowable& e) {
    logError("Error detected in OpenInTavixAction::OnActivate: " + e.GetDescription());
  } catch (...) {
    logError("Unknown error detected in OpenInTavixAction::OnActivate.");
  }
}

void UploadAnotherWorkspaceAction::OnActivate(uifcPushButton_ptr handle) {
  try {
    dialog_.uploadAnother(handle);
  } catch (const std::exception& e) {
    logError(std::string("Error detected in UploadAnotherWorkspaceAction::OnActivate: ") + e.what());
  } catch (const xthrowable& e) {
    logError("Error detected in UploadAnotherWorkspaceAction::OnActivate: " + e.GetDescription());
  } catch (...) {
    logError("Unknown error detected in UploadAnotherWorkspaceAction::OnActivate.");
  }
}
