#include <httplib.h>

#include "browser_fetch.h"
#include "browser_page.h"

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
  std::string postBody;  // empty for a GET
  bool post = false;
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

    httplib::Client client(target->origin());
    client.set_connection_timeout(5);
    client.set_read_timeout(60);
    httplib::Result result = post ? client.Post(target->target, postBody, "application/x-www-form-urlencoded")
                                  : client.Get(target->target);
    post = false;
    postBody.clear();
    if (!result) {
      load.status = 0;
      load.body.clear();
      load.error = "request failed: " + httplib::to_string(result.error());
      return load;
    }
    load.status = result->status;
    load.body = result->body;

    if (result->status >= 300 && result->status < 400 && result->has_header("Location")) {
      next = resolveUrl(*target, result->get_header_value("Location"));
      continue;
    }
    if (result->status == 200 && !user.email.empty() && !load.submittedSignIn) {
      if (std::optional<HtmlForm> form = findForm(result->body, kSignInFormId)) {
        setField(form->fields, "email", user.email);
        setField(form->fields, "password", user.password);
        load.submittedSignIn = true;
        next = resolveUrl(*target, form->action);
        if (form->method == "post") {
          post = true;
          postBody = encodeForm(form->fields);
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
