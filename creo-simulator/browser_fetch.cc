#include "browser_fetch.h"

#include "browser_http.h"
#include "browser_page.h"

#include <utility>

namespace creosim {

namespace {

constexpr int kMaxRequests = 12;
constexpr const char* kSignInFormId = "signin";

void setField(FormFields& fields, const std::string& name, const std::string& value) {
  for (auto& [key, current] : fields) {
    if (key == name) {
      current = value;
      return;
    }
  }
  fields.emplace_back(name, value);
}

}  // namespace

PageLoad loadPage(const std::string& url, const SignInUser& user) {
  PageLoad load;
  std::string next = url;
  std::optional<std::string> formBody;  // a POST of the sign-in form; else a GET
  for (int request = 0; request < kMaxRequests; ++request) {
    load.addresses.push_back(next);
    load.finalUrl = next;
    const std::optional<Url> target = parseUrl(next);
    if (!target) {
      load.error = "not an http or https address";
      return load;
    }
    // The simulator never leaves the machine.
    if (!isLoopbackHost(target->host) || target->scheme != "http") {
      load.error = "not fetched: only plain http on loopback hosts is loaded";
      return load;
    }

    const std::optional<HttpAnswer> result =
        sendBrowserRequest(*target, std::exchange(formBody, std::nullopt), load.error);
    if (!result) {
      load.status = 0;
      load.body.clear();
      return load;
    }
    load.status = result->status;
    load.body = result->body;

    if (result->status >= 300 && result->status < 400 && !result->location.empty()) {
      next = resolveUrl(*target, result->location);
      continue;
    }
    if (result->status == 200 && !user.email.empty() && !load.submittedSignIn) {
      if (std::optional<HtmlForm> form = findForm(result->body, kSignInFormId)) {
        setField(form->fields, "email", user.email);
        setField(form->fields, "password", user.password);
        load.submittedSignIn = true;
        next = resolveUrl(*target, form->action);
        if (form->method == "post") {
          formBody = encodeForm(form->fields);
        } else {
          next = next.substr(0, next.find('?')) + "?" + encodeForm(form->fields);
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
