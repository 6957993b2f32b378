#include "upload/upload_operation_listeners.h"

#include <exception>
#include <functional>
#include <string>

#include <uifcPushButton.h>
#include <pfcExceptions.h>

#include "core/log.h"
#include "core/toolkit_guard.h"
#include "upload/upload_operation_dialog.h"

namespace {

// Runs the listener's work; whatever it raises is logged under the listener's name.
void runListener(const std::string& listener, const std::function<void()>& work) {
  const std::string detected = "Error detected in " + listener + "::OnActivate: ";
  try {
    if (const auto error = catchToolkitError(work)) logError(detected + error->description());
  } catch (const std::exception& e) {
    logError(detected + e.what());
  } catch (...) {
    logError("Unknown error detected in " + listener + "::OnActivate.");
  }
}

}  // namespace

void OpenInTavixAction::OnActivate(uifcPushButton_ptr handle) {
  runListener("OpenInTavixAction", [&] { dialog_.openInTavix(handle); });
}

void UploadAnotherWorkspaceAction::OnActivate(uifcPushButton_ptr handle) {
  runListener("UploadAnotherWorkspaceAction", [&] { dialog_.uploadAnother(handle); });
}
