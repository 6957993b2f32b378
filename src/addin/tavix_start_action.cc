#include "addin/tavix_start_action.h"

#include <exception>

#include <pfcExceptions.h>

#include "cloud/cloud_connection.h"
#include "cloud/session_functions.h"
#include "core/log.h"
#include "core/toolkit_guard.h"
#include "upload/upload_workflow.h"

namespace {

void loadUserDetails(SessionManager& sessionManager) {
  if (sessionManager.getCachedUser()) return;
  std::optional<NorvaneUser> user;
  try {
    user = getCurrentUserCachedOrFetched(*getNorvaneClient(), sessionManager);
  } catch (const std::exception& e) {
    // The upload dialog still opens; it shows what it can without the user.
    logWarning(std::string("Fetching user details failed: ") + e.what());
  }
  if (!user) {
    logWarning("Could not load user details for existing session.");
    return;
  }
  sessionManager.setCurrentUser(*user);
  logDebug("User details loaded for existing session.");
}

}  // namespace

void TavixStartAction::OnCommand() {
  // Nothing may travel back into Creo from a command action.
  try {
    const auto error = catchToolkitError([this] {
      logInfo("Tavix integration command invoked.");
      logDebug("Checking existing session state.");
      SessionManager& sessionManager = getSessionManager();
      if (sessionManager.hasTokens()) {
        logDebug("User already authenticated. Opening upload dialog.");
        loadUserDetails(sessionManager);
        runUploadWorkflow(WorkflowStep::UploadDialog, uploadPauses_);
      } else {
        logDebug("User not authenticated. Opening login flow.");
        runUploadWorkflow(WorkflowStep::SignIn, uploadPauses_);
      }
    });
    if (error) logError("Creo toolkit error detected in TavixStartAction::OnCommand. " + error->description());
  } catch (const std::exception& e) {
    logError(std::string("Unhandled exception in TavixStartAction::OnCommand: ") + e.what());
  } catch (...) {
    logError("Unknown error detected in TavixStartAction::OnCommand.");
  }
}
