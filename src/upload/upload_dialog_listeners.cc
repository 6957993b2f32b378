#include "upload/upload_dialog_listeners.h"

#include <exception>
#include <string>

#include <uifcDialog.h>
#include <uifcPushButton.h>
#include <uifcOptionMenu.h>
#include <pfcExceptions.h>

#include "core/log.h"
#include "core/toolkit_guard.h"

void UploadAction::OnActivate(uifcPushButton_ptr) {
  try {
    handle_();
  } catch (const std::exception& e) {
    logError(std::string("Error detected in UploadAction::OnActivate: ") + e.what());
  } catch (...) {
    logError("Unknown error detected in UploadAction::OnActivate.");
  }
}

void KnowledgeCenterAction::OnActivate(uifcPushButton_ptr) {
  try {
    handle_();
  } catch (...) {
    logError("Unknown error detected in KnowledgeCenterAction::OnActivate.");
  }
}

void SignOutAction::OnActivate(uifcPushButton_ptr) {
  try {
    if (catchToolkitError(handle_)) {
      logError("Creo toolkit error detected in SignOutAction::OnActivate.");
    }
  } catch (const std::exception& e) {
    logError(std::string("Error detected in SignOutAction::OnActivate: ") + e.what());
  } catch (...) {
    logError("Unknown error detected in SignOutAction::OnActivate.");
  }
}

namespace {

// A failed lookup is only logged: the dialog stays open as it was.
void checkLoggingFailures(const std::function<void()>& check, const char* unknownFailure) {
  try {
    check();
  } catch (const std::exception& e) {
    logError("An error occurred while checking for existing revisions: " + std::string(e.what()));
  } catch (...) {
    logError(unknownFailure);
  }
}

}  // namespace

void CheckExistingRevisionOnWorkspaceSelect::OnItemSelect(uifcOptionMenu_ptr) {
  checkLoggingFailures(handle_,
                       "Unknown error while checking for existing revisions on workspace select.");
}

void CheckExistingRevisionOnDialogDisplay::OnDisplay(uifcDialog_ptr) {
  checkLoggingFailures(handle_,
                       "Unknown error while checking for existing revisions on dialog display.");
}
