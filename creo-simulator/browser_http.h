// One HTTP request of the embedded browser, without following redirects.
// Platform code: cpp-httplib on Linux, WinHTTP on Windows.
#pragma once

#include <optional>
#include <string>

#include "browser_page.h"

namespace creosim {

struct HttpAnswer {
  int status = 0;
  std::string location;  // the Location header exactly as sent, empty when none
  std::string body;
};

// A GET, or with a form body a POST of application/x-www-form-urlencoded.
// Nothing when no answer came; `error` then says why.
std::optional<HttpAnswer> sendBrowserRequest(const Url& target, const std::optional<std::string>& formBody,
                                             std::string& error);

}  // namespace creosim
