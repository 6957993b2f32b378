// A scripted stand-in for the user's browser during sign-in: follows
// redirects, fills in the sign-in form and lands on the redirect address.
#pragma once

#include <string>

#include "http_exchange.h"

namespace tavixtest {

class ScriptedBrowser {
 public:
  // GET `url` (http only), following up to 10 redirects; the last response.
  BrowserPage get(const std::string& url);
  // Submits the sign-in form found on `page` with these credentials; the
  // service's answer itself, a 302 to the redirect address when they are right.
  BrowserPage submitSignIn(const BrowserPage& page, const std::string& email, const std::string& password);
  // The whole flow: open the authorization address, sign in, follow the
  // redirect to the client's loopback listener and return what it answers.
  // Stops early (returning that page) on an error page or a wrong password.
  BrowserPage signIn(const std::string& authorizeUrl, const std::string& email, const std::string& password);
};

}  // namespace tavixtest
