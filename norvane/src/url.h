// Addresses: parsing, the transport policy, and query strings.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace norvane {

struct Url {
  std::string scheme;  // "http" or "https", lower case
  std::string host;    // without brackets for IPv6
  uint16_t port = 0;
  std::string target;  // path and query, at least "/"

  // scheme://host:port/ with the host bracketed when it is IPv6.
  std::string origin() const;
};

// Throws ConfigurationError for anything but an absolute http(s) address.
Url parseUrl(const std::string& text);

// 127.0.0.0/8, "localhost" and ::1.
bool isLoopbackHost(const std::string& host);

// Plain http is allowed to loopback hosts only; throws ConfigurationError otherwise.
void requireSecureTransport(const Url& url);

// RFC 3986 unreserved characters stay, everything else becomes %XX.
std::string percentEncode(const std::string& text);
// Decodes %XX and '+' (form encoding); malformed escapes stay as they are.
std::string percentDecode(const std::string& text);

using QueryParameters = std::vector<std::pair<std::string, std::string>>;
std::string buildQuery(const QueryParameters& parameters);
// The parameters of a query string or form body; a repeated key keeps its first value.
std::map<std::string, std::string> parseQuery(const std::string& query);

}  // namespace norvane
