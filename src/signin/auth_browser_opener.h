// Opens an address (sign-in or sign-out page) in Creo's embedded browser.
#pragma once

#include <string>

// Uses the browser of the current model's window, else of the current window.
// Only a failure to navigate is thrown (the toolkit's exception, or
// std::invalid_argument for an address the browser may not show: anything but
// https, or http to this machine); every other step that fails is logged and
// passed over.
class CreoAuthBrowserOpener {
 public:
  void openUrl(const std::string& url);
};
