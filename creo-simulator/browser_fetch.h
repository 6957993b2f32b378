// Loading one address the way a browser does: follow redirects and submit a
// sign-in form for a configured user. Only plain http on loopback hosts is
// fetched, on every platform.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "browser_page.h"

namespace creosim {

// A sign-in form as the browser shows it.
struct SignInPage {
  std::string url;
  std::string html;
  HtmlForm form;
  int attempt = 1;  // 2 and on: the service showed the form again, e.g. after a wrong password
};

// Fills in a sign-in page: the fields to submit, or nothing to leave it as it is.
using SignInFiller = std::function<std::optional<FormFields>(const SignInPage& page)>;

struct PageLoad {
  std::vector<std::string> addresses;  // every address requested, redirects and form posts included
  std::string finalUrl;                // the last address requested
  int status = 0;                      // HTTP status of the last response; 0 when none came
  std::string body;                    // body of the last response
  bool submittedSignIn = false;        // a sign-in form was filled in and posted, at least once
  bool handedOver = false;             // given to a browser program outside the simulator
  std::string error;                   // why loading stopped short, empty when it did not
};

// Why an address is not loaded, empty when it is: the simulator never leaves the machine.
std::string refusalToLoad(const std::string& url);
// Blocks until the page has loaded or failed; never throws unless `fill` does.
PageLoad loadPage(const std::string& url, const SignInFiller& fill);

}  // namespace creosim
