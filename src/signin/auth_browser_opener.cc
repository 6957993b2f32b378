#include "signin/auth_browser_opener.h"

#include <stdexcept>

#include <pfcGlobal.h>
#include <pfcSession.h>
#include <pfcWindow.h>
#include <wfcSession.h>
#include <pfcModel.h>
#include <pfcExceptions.h>

#include "core/log.h"
#include "core/toolkit_guard.h"
#include "core/toolkit_text.h"
#include "signin/browser_address.h"

namespace {

// The window whose browser shows the page: the current model's, else the current one.
pfcWindow_ptr browserTargetWindow(pfcBaseSession& session) {
  pfcWindow_ptr window;
  const auto error = catchToolkitError([&] {
    if (pfcModel_ptr model = session.GetCurrentModel()) {
      window = session.GetModelWindow(model);
      if (window) logDebug("Resolved browser target from current model window.");
    }
  });
  if (error) {
    logDebug("Unable to resolve current model window; falling back to current window.");
  }
  if (!window) window = session.GetCurrentWindow();
  return window;
}

}  // namespace

void CreoAuthBrowserOpener::openUrl(const std::string& url) {
  if (!isBrowsableAddress(url)) {
    logError("Failed to navigate the embedded browser to the requested URL.");
    throw std::invalid_argument("the address is neither https nor http to this machine");
  }
  wfcWSession_ptr session = wfcWSession::cast(pfcGetCurrentSessionWithCompatibility(pfcC4Compatible));
  if (!session) {
    logWarning("Creo session unavailable while opening embedded browser.");
    return;
  }
  pfcWindow_ptr window = browserTargetWindow(*session);
  if (!window) {
    logWarning("Creo window unavailable while opening embedded browser.");
    return;
  }
  if (catchToolkitError([&] { session->SetCurrentWindow(window); })) {
    logDebug("Failed to make browser target the current Creo window; continuing.");
  }
  xint windowId = 0;
  if (catchToolkitError([&] { windowId = window->GetId(); })) {
    logDebug("Opening embedded browser for authentication.");
  } else {
    logDebug("Opening embedded browser for authentication. window_id=" + std::to_string(windowId));
  }
  if (catchToolkitError([&] { window->SetBrowserSize(50.0); })) {
    logWarning("Unable to set embedded browser size; continuing with URL navigation.");
  }
  if (const auto error = catchToolkitError([&] { window->SetURL(toXstring(url)); })) {
    logError("Failed to navigate the embedded browser to the requested URL.");
    rethrowToolkitError(*error);
  }
}
