#include <httplib.h>

#include "browser_http.h"

namespace creosim {

std::optional<HttpAnswer> sendBrowserRequest(const Url& target, const std::optional<std::string>& formBody,
                                             std::string& error) {
  httplib::Client client(target.origin());
  client.set_connection_timeout(5);
  client.set_read_timeout(60);
  httplib::Result result = formBody ? client.Post(target.target, *formBody, "application/x-www-form-urlencoded")
                                    : client.Get(target.target);
  if (!result) {
    error = "request failed: " + httplib::to_string(result.error());
    return std::nullopt;
  }
  HttpAnswer answer;
  answer.status = result->status;
  answer.body = result->body;
  if (result->has_header("Location")) answer.location = result->get_header_value("Location");
  return answer;
}

}  // namespace creosim
