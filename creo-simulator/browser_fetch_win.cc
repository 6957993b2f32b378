#include "browser_fetch.h"

namespace creosim {

// The Windows simulator has no HTTP client: addresses are recorded only.
PageLoad loadPage(const std::string& url, const SignInUser&) {
  PageLoad load;
  load.addresses.push_back(url);
  load.finalUrl = url;
  load.error = "not fetched: the Windows simulator records addresses only";
  return load;
}

}  // namespace creosim
