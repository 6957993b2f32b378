// Creo's calls into the add-in when it loads and unloads it.
#include <exception>
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
#include "core/session_temp_directory.h"
#include "core/text_encoding.h"
#include "core/toolkit_guard.h"
#include "core/toolkit_text.h"
#include "signin/auth_completion.h"

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

void loadProperties() {
  if (TavixProperties::load()) {
    logInfo("tavix.properties loaded from: " + pathToUtf8(TavixProperties::loadedPath()));
  } else {
    logInfo("tavix.properties not found, using defaults.");
  }
}

void registerRibbonCommand() {
  logDebug("Initializing ribbon command and UI.");
  pfcSession_ptr session = pfcGetCurrentSessionWithCompatibility(pfcC4Compatible);
  wfcWSession_ptr extendedSession = wfcWSession::cast(session);
  // Creo without a session (batch mode) has nowhere to put the button.
  if (!extendedSession) throw std::runtime_error("No Creo session is available.");
  logDebug("Creo Runtime: version=" + fromXstring(extendedSession->GetDisplayDateCode()));
  logDebug(std::string("Creo Integration: version=") + kIntegrationVersion + ", creo_version=" + kCreoBuildVersion);

  session->RibbonDefinitionfileLoad(kRibbonDefinitionFile);
  // Creo keeps the action for the rest of the session.
  pfcUICommand_ptr command = session->UICreateCommand(kCommandName, new TavixStartAction());
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

extern "C" int user_initialize(int, char*[], char*, char*, wchar_t[80]) {
  try {
    const auto error = catchToolkitError([] {
      logInfo("Tavix integration initialization started.");
      loadProperties();
      applyPropertyLogLevel();

      logDebug("Verifying packaged norvane runtime is available.");
      ensureClientLibraryLoaded();

      logDebug("Cleaning up stale temp directories from previous sessions.");
      cleanupStaleTempDirectories();

      registerRibbonCommand();
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
  return 1;
}

extern "C" void user_terminate() {
  try {
    logDebug("Integration termination started. Cleaning session temp directory.");
    endSignInBeforeUnload();
    cleanupSessionTempDirectory();
    logDebug("Tavix integration terminated.");
  } catch (const std::exception& e) {
    logError(std::string("Error during integration termination: ") + e.what());
  } catch (...) {
    logError("Unknown error during Tavix integration termination.");
  }
}
