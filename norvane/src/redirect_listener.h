// The one-shot listener on 127.0.0.1 that the browser comes back to at the
// end of a sign-in. It takes connections from loopback peers only, serves
// them side by side so that a silent one holds up nobody, and stops
// listening as soon as the redirect with the sign-in's state has arrived.
#pragma once

#include <atomic>
#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

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

  // Serves requests until one for the callback path with `expectedState`
  // arrives, the deadline passes or `cancelled` is set; empty in the last two
  // cases. Other paths get 404, a callback with another or no state (an old
  // tab, another program) gets 400, and the listener keeps waiting.
  std::optional<Redirect> waitForRedirect(std::chrono::steady_clock::time_point deadline,
                                          const std::string& expectedState, const std::atomic<bool>& cancelled,
                                          const LibraryLog& log);

 private:
  struct Connection;
  void admitWaitingConnections(std::vector<Connection>& connections, const LibraryLog& log);
  // Reads what has arrived and answers a complete request; the redirect when it is the one.
  std::optional<Redirect> readFrom(Connection& connection, const std::string& expectedState,
                                   const LibraryLog& log) const;

  std::string callbackPath_;
  TcpSocket listener_;
  uint16_t port_ = 0;
};

// A complete HTTP/1.1 answer with a small HTML page, then the connection closes.
void respondToBrowser(TcpSocket& browser, int status, const std::string& message);

}  // namespace norvane
