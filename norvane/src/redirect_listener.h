// The one-shot listener on 127.0.0.1 that the browser comes back to at the
// end of a sign-in. It takes connections from loopback peers only and stops
// listening as soon as the redirect has arrived.
#pragma once

#include <atomic>
#include <chrono>
#include <map>
#include <optional>
#include <string>

#include "tcp_socket.h"

namespace norvane {

class LibraryLog;

struct Redirect {
  std::map<std::string, std::string> query;
  TcpSocket browser;  // answer with respondToBrowser
};

class RedirectListener {
 public:
  // Throws NorvaneError when no port can be had.
  explicit RedirectListener(std::string callbackPath);

  uint16_t port() const { return port_; }
  // "http://127.0.0.1:PORT/callback"
  std::string redirectUri() const;

  // Serves requests until one for the callback path arrives, the deadline
  // passes or `cancelled` is set; empty in the last two cases. Other paths
  // get 404 and the listener keeps waiting.
  std::optional<Redirect> waitForRedirect(std::chrono::steady_clock::time_point deadline,
                                          const std::atomic<bool>& cancelled, const LibraryLog& log);

 private:
  std::string callbackPath_;
  TcpSocket listener_;
  uint16_t port_ = 0;
};

// A complete HTTP/1.1 answer with a small HTML page, then the connection closes.
void respondToBrowser(TcpSocket& browser, int status, const std::string& message);

}  // namespace norvane
