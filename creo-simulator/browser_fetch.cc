#include "browser_fetch.h"

#include "browser_http.h"
#include "browser_page.h"

#include <utility>

namespace creosim {

namespace {

constexpr int kMaxRequests = 12;
constexpr int kMaxSignInAttempts = 3;
constexpr const char* kSignInFormId = "signin";

}  // namespace

std::string refusalToLoad(const std::string& url) {
  const std::optional<Url> target = parseUrl(url);
  if (!target) return "not an http or https address";
  if (!isLoopbackHost(target->host) || target->scheme != "http")
    return "not fetched: only plain http on loopback hosts is loaded";
  return {};
}

PageLoad loadPage(const std::string& url, const SignInFiller& fill) {
  PageLoad load;
  std::string next = url;
  std::optional<std::string> formBody;  // a POST of the sign-in form; else a GET
  int signInAttempts = 0;
  for (int request = 0; request < kMaxRequests; ++request) {
    load.addresses.push_back(next);
    load.finalUrl = next;
    load.error = refusalToLoad(next);
    if (!load.error.empty()) return load;
    const Url target = *parseUrl(next);

    const std::optional<HttpAnswer> result =
        sendBrowserRequest(target, std::exchange(formBody, std::nullopt), load.error);
    if (!result) {
      load.status = 0;
      load.body.clear();
      return load;
    }
    load.status = result->status;
    load.body = result->body;

    if (result->status >= 300 && result->status < 400 && !result->location.empty()) {
      next = resolveUrl(target, result->location);
      continue;
    }
    if (result->status == 200 && fill && signInAttempts < kMaxSignInAttempts) {
      if (std::optional<HtmlForm> form = findForm(result->body, kSignInFormId)) {
        const std::optional<FormFields> filled = fill(SignInPage{next, result->body, *form, ++signInAttempts});
        if (!filled) return load;
        load.submittedSignIn = true;
        next = resolveUrl(target, form->action);
        if (form->method == "post") {
          formBody = encodeForm(*filled);
        } else {
          next = next.substr(0, next.find('?')) + "?" + encodeForm(*filled);
        }
        continue;
      }
    }
    return load;
  }
  load.error = "too many redirects";
  return load;
}

}  // namespace creosim
