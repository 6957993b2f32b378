// Query strings and form bodies as a browser or a stranger may send them to
// the identity provider and the API: a redirect address that passes the check
// leads to this machine as a client library and a resolver read it, numbers
// parse only whole, and what the service encodes decodes back.
#include <arpa/inet.h>
#include <httplib.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "http_util.h"
#include "loopback_redirect.h"
#include "norvane/errors.h"
#include "url.h"

namespace {

bool isThisMachine(const std::string& host) {
  in_addr address{};
  return host == "localhost" || (inet_aton(host.c_str(), &address) != 0 && (ntohl(address.s_addr) >> 24) == 127);
}

void checkRedirect(const std::string& uri) {
  if (!tavixservice::isLoopbackRedirect(uri)) return;
  norvane::Url url;
  try {
    url = norvane::parseUrl(uri);
  } catch (const norvane::ConfigurationError&) {
    FUZZ_CHECK(!"an accepted redirect address the client library cannot read");
  }
  FUZZ_CHECK(url.scheme == "http" && isThisMachine(url.host));
  // The code and state appended to it come back whole.
  const std::string location = uri + (uri.find('?') == std::string::npos ? "?" : "&") + "code=" +
                               tavixservice::urlEncode("c0de&=") + "&state=" + tavixservice::urlEncode(uri);
  httplib::Params parameters;
  httplib::detail::parse_query_text(location.substr(location.find('?') + 1), parameters);
  bool foundState = false;
  for (const auto& [key, value] : parameters) foundState = foundState || (key == "state" && value == uri);
  FUZZ_CHECK(foundState);
}

void checkInteger(const std::string& text) {
  const auto value = tavixservice::parseInteger(text);
  if (!value) return;
  FUZZ_CHECK(tavixservice::parseInteger(std::to_string(*value)) == value);
  FUZZ_CHECK(text.find_first_not_of("-0123456789") == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string query(reinterpret_cast<const char*>(data), size);
  httplib::Params parameters;
  httplib::detail::parse_query_text(query, parameters);
  for (const auto& [key, value] : parameters) {
    checkRedirect(value);
    checkInteger(value);
    FUZZ_CHECK(httplib::detail::decode_url(tavixservice::urlEncode(value), true) == value);
  }
  checkRedirect(query);
  checkInteger(query);
  return 0;
}
