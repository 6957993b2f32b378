// Loading one address the way a browser does: follow redirects and submit a
// sign-in form for a configured user. Only plain http on loopback hosts is
// fetched, on every platform.
#pragma once

#include <string>
#include <vector>

namespace creosim {

struct SignInUser {
  std::string email;
  std::string password;
};

struct PageLoad {
  std::vector<std::string> addresses;  // every address requested, redirects and form posts included
  std::string finalUrl;                // the last address requested
  int status = 0;                      // HTTP status of the last response; 0 when none came
  std::string body;                    // body of the last response
  bool submittedSignIn = false;        // a sign-in form was filled in and posted
  std::string error;                   // why loading stopped short, empty when it did not
};

// Blocks until the page has loaded or failed; never throws.
PageLoad loadPage(const std::string& url, const SignInUser& user);

}  // namespace creosim
