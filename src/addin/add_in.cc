#include "addin/add_in.h"

#include <exception>
#include <memory>
#include <stdexcept>
#include <string>

#include <pfcGlobal.h>
#include <pfcSession.h>
#include <pfcCommand.h>
#include <wfcSession.h>
#include <pfcExceptions.h>

#include "addin/tavix_start_action.h"
#include "cloud/client_library_loader.h"
#include "core/log.h"
#include "core/properties.h"
#include "core/property_log_level.h"
#include "core/session_temp_directory.h"
#include "core/text_encoding.h"
#include "core/toolkit_guard.h"
#include "core/toolkit_text.h"

namespace {

constexpr const char* kIntegrationVersion = TAVIX_INTEGRATION_VERSION;
constexpr const char* kCreoBuildVersion = "9.0.0.0";

constexpr const char* kRibbonDefinitionFile = "toolkitribbonui.rbn";
constexpr const char* kCommandName = "tavixRibbonButton";
constexpr const char* kMessageFile = "tavix_msg.txt";
constexpr const char* kLabelKey = "TAVIX_RIBBON_LABEL";
constexpr const char* kHelpKey = "TAVIX_RIBBON_HELP";
constexpr const char* kDescriptionKey = "TAVIX_RIBBON_DESCRIPTION";
constexpr const char* kIconFile = "tavix_logo_toolbar.png";
constexpr const char* kUnknownInitializationError = "Unknown error during Tavix integration initialization.";

// Everything the add-in keeps between its start and its stop.
struct AddIn {
  explicit AddIn(const AddInCollaborators& collaborators)
      : cloud(collaborators.makeClient), signIn(collaborators.firstLoadingDelay) {}
  CloudConnection cloud;
  SignInContext signIn;
};

// The add-in's one process-wide object, from a start to its stop.
std::unique_ptr<AddIn>& runningAddIn() {
  static std::unique_ptr<AddIn> addIn;
  return addIn;
}

void loadProperties() {
  if (TavixProperties::load()) {
    logInfo("tavix.properties loaded from: " + pathToUtf8(TavixProperties::loadedPath()));
  } else {
    logInfo("tavix.properties not found, using defaults.");
  }
}

void registerRibbonCommand(const UploadPauses& uploadPauses) {
  logDebug("Initializing ribbon command and UI.");
  pfcSession_ptr session = pfcGetCurrentSessionWithCompatibility(pfcC4Compatible);
  wfcWSession_ptr extendedSession = wfcWSession::cast(session);
  // Creo without a session (batch mode) has nowhere to put the button.
  if (!extendedSession) throw std::runtime_error("No Creo session is available.");
  logDebug("Creo Runtime: version=" + fromXstring(extendedSession->GetDisplayDateCode()));
  logDebug(std::string("Creo Integration: version=") + kIntegrationVersion + ", creo_version=" + kCreoBuildVersion);

  session->RibbonDefinitionfileLoad(kRibbonDefinitionFile);
  // Creo keeps the action for the rest of the session.
  pfcUICommand_ptr command = session->UICreateCommand(kCommandName, new TavixStartAction(uploadPauses));
  command->Designate(kMessageFile, kLabelKey, kHelpKey, kDescriptionKey);
  command->SetIcon(kIconFile);
}

void logInitializationFailure(const ToolkitError& error) {
  switch (error.kind) {
    case ToolkitErrorKind::InvalidFile:
      logError("Integration initialization failed because a Creo ribbon or icon resource file is missing or invalid.");
      return;
    case ToolkitErrorKind::Found:
      logError("Integration initialization failed because the ribbon command already exists in the Creo session.");
      return;
    case ToolkitErrorKind::MsgNotFound:
      logError("Integration initialization failed because a required message catalog entry was not found.");
      return;
    case ToolkitErrorKind::NotFound:
      logError("Integration initialization failed because a required Creo UI resource was not found.");
      return;
    default:
      logError(kUnknownInitializationError);
      // The fixed line alone does not tell a support engineer which call failed.
      logWarning("Creo toolkit exception during initialization: " + error.description());
  }
}

}  // namespace

int startAddIn(const AddInCollaborators& collaborators) {
  // A second start in the same session keeps what the first made: its ribbon
  // command runs with it.
  const bool made = !runningAddIn();
  try {
    if (made) runningAddIn() = std::make_unique<AddIn>(collaborators);
    const auto error = catchToolkitError([&] {
      logInfo("Tavix integration initialization started.");
      loadProperties();
      applyPropertyLogLevel();

      logDebug("Verifying packaged norvane runtime is available.");
      ensureClientLibraryLoaded();

      logDebug("Cleaning up stale temp directories from previous sessions.");
      cleanupStaleTempDirectories();

      registerRibbonCommand(collaborators.uploadPauses);
    });
    if (!error) {
      logInfo("Tavix integration initialization complete.");
      return 0;
    }
    logInitializationFailure(*error);
  } catch (const std::exception& e) {
    logError(std::string("Error during integration initialization: ") + e.what());
  } catch (...) {
    logError(kUnknownInitializationError);
  }
  if (made) runningAddIn().reset();
  return 1;
}

void stopAddIn() {
  try {
    logDebug("Integration termination started. Cleaning session temp directory.");
    std::unique_ptr<AddIn> addIn = std::move(runningAddIn());
    // A thread still running uses what the add-in keeps: it is left to the process.
    if (addIn && !addIn->signIn.endThreads()) static_cast<void>(addIn.release());
    cleanupSessionTempDirectory();
    logDebug("Tavix integration terminated.");
  } catch (const std::exception& e) {
    logError(std::string("Error during integration termination: ") + e.what());
  } catch (...) {
    logError("Unknown error during Tavix integration termination.");
  }
}
