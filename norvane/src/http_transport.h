// One HTTP exchange with the service. The platform supplies the transport;
// the address policy (https outside loopback) is checked before it is called.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "url.h"

namespace norvane {

struct HttpRequest {
  std::string method;  // "GET", "POST", "PUT"
  Url url;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string contentType;
  std::string body;
  // When set, the body is streamed from this file instead of `body`.
  std::filesystem::path bodyFile;
  uint64_t bodyFileSize = 0;
};

struct HttpResponse {
  int status = 0;
  std::string body;
};

class HttpTransport {
 public:
  virtual ~HttpTransport() = default;
  // Throws ConnectionError when no response arrives.
  virtual HttpResponse send(const HttpRequest& request) = 0;
};

// How long an exchange waits: for the connection, and for the service to take
// the next bytes or to answer. 15 s and 5 minutes, unless the environment
// variable NORVANE_NETWORK_TIMEOUT_SECONDS (1 to 3600) sets both, so that tests
// can make a silent service fail fast.
struct HttpTimeouts {
  std::chrono::milliseconds connect;
  std::chrono::milliseconds transfer;
};
HttpTimeouts httpTimeouts();

std::unique_ptr<HttpTransport> createHttpTransport();

// The text of a failed exchange, e.g. "norvane: cannot connect to http://127.0.0.1:1234/".
std::string cannotConnectMessage(const Url& url, const std::string& detail);
// A path as UTF-8 text for messages.
std::string utf8Path(const std::filesystem::path& path);

}  // namespace norvane
