// One plain-http request on its own connection, read to the end: what the
// scripted browser sends and what a test sends to the service's controls.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tavixtest {

struct BrowserPage {
  int status = 0;        // 0 when the address could not be reached
  std::string url;       // the address that gave this response
  std::string body;
  std::string location;  // the Location header of a redirect
};

struct HttpRequestParts {
  std::string method = "GET";
  std::vector<std::pair<std::string, std::string>> headers;
  std::string contentType;
  std::string body;
};

// `url` must be http://host[:port]/...; the raw Location header is kept as sent.
BrowserPage httpExchange(const std::string& url, const HttpRequestParts& request = {});
// application/x-www-form-urlencoded: every byte but letters, digits and -_.~ as %XX.
std::string formEncode(const std::string& text);

}  // namespace tavixtest
