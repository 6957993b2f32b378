#include "upload/upload_operation_listeners.h"

#include <exception>
#include <functional>
#include <string>

#include <uifcPushButton.h>
#include <pfcExceptions.h>

#include "core/log.h"
#include "core/toolkit_guard.h"

void CompletionPanelAction::run(const char* listener, uifcPushButton_ptr handle) {
  const std::string detected = std::string("Error detected in ") + listener + "::OnActivate: ";
  try {
    if (const auto error = catchToolkitError([&] { handle_(handle); })) logError(detected + error->description());
  } catch (const std::exception& e) {
    logError(detected + e.what());
  } catch (...) {
    logError(std::string("Unknown error detected in ") + listener + "::OnActivate.");
  }
}

void OpenInTavixAction::OnActivate(uifcPushButton_ptr handle) { run("OpenInTavixAction", handle); }

void UploadAnotherWorkspaceAction::OnActivate(uifcPushButton_ptr handle) { run("UploadAnotherWorkspaceAction", handle); }
