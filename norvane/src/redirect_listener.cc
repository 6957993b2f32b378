#include "redirect_listener.h"

#include <algorithm>

#include "library_log.h"
#include "redirect_request.h"

namespace norvane {

namespace {

constexpr auto kPollSlice = std::chrono::milliseconds(100);
// A browser sends its request at once; a silent connection is dropped rather
// than kept for the rest of the sign-in.
constexpr auto kRequestTimeout = std::chrono::seconds(10);
constexpr size_t kMaxRequestHead = 16 * 1024;
// Browsers open a few connections at a time; past this the oldest makes room.
constexpr size_t kMaxConnections = 16;

std::string reasonPhrase(int status) {
  switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    default: return "Error";
  }
}

}  // namespace

struct RedirectListener::Connection {
  TcpSocket socket;
  std::string head;
  std::chrono::steady_clock::time_point dropAt;
};

RedirectListener::RedirectListener(std::string callbackPath)
    : callbackPath_(std::move(callbackPath)), listener_(TcpSocket::listenOnLoopback()), port_(listener_.localPort()) {}

std::string RedirectListener::redirectUri() const {
  return "http://127.0.0.1:" + std::to_string(port_) + callbackPath_;
}

void RedirectListener::admitWaitingConnections(std::vector<Connection>& connections, const LibraryLog& log) {
  for (size_t admitted = 0; admitted < kMaxConnections; ++admitted) {
    TcpSocket::Accepted accepted = listener_.accept(std::chrono::milliseconds(0));
    if (!accepted.socket.isOpen()) return;
    if (!isLoopbackPeer(accepted.peerAddress)) {
      log.warning("refused a sign-in connection from a non-loopback address");
      continue;
    }
    if (connections.size() >= kMaxConnections) connections.erase(connections.begin());
    connections.push_back({std::move(accepted.socket), {}, std::chrono::steady_clock::now() + kRequestTimeout});
  }
}

std::optional<Redirect> RedirectListener::readFrom(Connection& connection, const std::string& expectedState,
                                                   const LibraryLog& log) const {
  char buffer[2048];
  const TcpSocket::Received received = connection.socket.receive(buffer, sizeof buffer, std::chrono::milliseconds(0));
  connection.head.append(buffer, received.size);
  if (received.ended || connection.head.size() > kMaxRequestHead) {
    connection.socket.close();
    return std::nullopt;
  }
  if (connection.head.find("\r\n\r\n") == std::string::npos) return std::nullopt;

  RedirectRequest request = judgeRedirectRequest(connection.head, callbackPath_, expectedState);
  switch (request.verdict) {
    case RedirectRequest::Verdict::NotFound:
      respondToBrowser(connection.socket, 404, "Not found.");
      return std::nullopt;
    case RedirectRequest::Verdict::WrongState:
      log.warning("ignored a sign-in redirect that did not carry this sign-in's state");
      respondToBrowser(connection.socket, 400, "Sign-in failed: the answer did not belong to this sign-in. "
                                               "Please start again from Creo.");
      return std::nullopt;
    case RedirectRequest::Verdict::Redirect: break;
  }
  return Redirect{std::move(request.query), std::move(connection.socket)};
}

std::optional<Redirect> RedirectListener::waitForRedirect(std::chrono::steady_clock::time_point deadline,
                                                          const std::string& expectedState,
                                                          const std::atomic<bool>& cancelled,
                                                          const LibraryLog& log) {
  std::vector<Connection> connections;
  while (!cancelled.load() && std::chrono::steady_clock::now() < deadline && listener_.isOpen()) {
    std::vector<const TcpSocket*> sockets{&listener_};
    for (const Connection& connection : connections) sockets.push_back(&connection.socket);
    const std::vector<bool> readable = TcpSocket::waitReadable(sockets, kPollSlice);

    for (size_t i = 0; i < connections.size(); ++i) {
      if (!readable[i + 1]) continue;
      if (std::optional<Redirect> redirect = readFrom(connections[i], expectedState, log)) {
        // One redirect per sign-in: nothing else may reach this port from now on.
        listener_.close();
        return redirect;
      }
    }

    // Admitted after serving: making room may drop the oldest connection.
    if (readable.front()) admitWaitingConnections(connections, log);
    const auto now = std::chrono::steady_clock::now();
    std::erase_if(connections, [now](const Connection& connection) {
      return !connection.socket.isOpen() || now >= connection.dropAt;
    });
  }
  listener_.close();
  return std::nullopt;
}

void respondToBrowser(TcpSocket& browser, int status, const std::string& message) {
  const std::string page =
      "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Tavix sign-in</title></head>"
      "<body><p>" + message + "</p></body></html>\n";
  const std::string response = "HTTP/1.1 " + std::to_string(status) + " " + reasonPhrase(status) +
                               "\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
                               std::to_string(page.size()) +
                               "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n" + page;
  browser.sendAll(response);
  browser.close();
}

}  // namespace norvane
