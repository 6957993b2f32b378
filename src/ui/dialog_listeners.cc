#include "ui/dialog_listeners.h"

#include <exception>
#include <stdexcept>
#include <string>

#include <uifcDialog.h>
#include <uifcComponent.h>
#include <uifcPushButton.h>
#include <pfcExceptions.h>

#include "core/log.h"
#include "core/toolkit_guard.h"
#include "ui/ui_facade.h"

namespace {

// Exits the dialog that owns the component; logs whatever goes wrong behind the prefix.
void exitOwningDialog(uifcComponent* component, const char* failurePrefix) {
  try {
    if (!component) throw std::invalid_argument("no component handle");
    if (const auto error = catchToolkitError([&] { uiFacade().ExitOwningDialog(*component, 0); })) {
      logError(failurePrefix + error->description());
    }
  } catch (const std::exception& error) {
    logError(std::string(failurePrefix) + error.what());
  } catch (...) {
    logError(std::string(failurePrefix) + "unknown exception");
  }
}

}  // namespace

void DialogCloseAction::OnClose(uifcDialog_ptr handle) {
  exitOwningDialog(handle, "Unhandled exception in DialogCloseAction::OnClose: ");
}

void PushButtonCloseAction::OnActivate(uifcPushButton_ptr handle) {
  exitOwningDialog(handle, "Error while closing dialog using push button: ");
}
