#include "redirect_listener.h"

#include <algorithm>

#include "library_log.h"
#include "url.h"

namespace norvane {

namespace {

constexpr auto kPollSlice = std::chrono::milliseconds(100);
// A browser sends its request at once; a silent connection is dropped rather
// than let it hold up the sign-in.
constexpr auto kRequestTimeout = std::chrono::seconds(10);
constexpr size_t kMaxRequestHead = 16 * 1024;

struct RequestLine {
  std::string method;
  std::string path;
  std::string query;
};

// Reads up to the end of the request head; empty method when it never arrives whole.
RequestLine readRequestLine(const TcpSocket& connection, std::chrono::steady_clock::time_point deadline) {
  std::string head;
  char buffer[2048];
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < kMaxRequestHead) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return {};
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
    const size_t received = connection.receive(buffer, sizeof buffer, std::min<std::chrono::milliseconds>(wait, kPollSlice));
    if (received == 0) {
      if (std::chrono::steady_clock::now() >= deadline) return {};
      continue;
    }
    head.append(buffer, received);
  }
  const size_t lineEnd = head.find("\r\n");
  if (lineEnd == std::string::npos) return {};
  const std::string line = head.substr(0, lineEnd);
  const size_t firstSpace = line.find(' ');
  const size_t secondSpace = line.find(' ', firstSpace + 1);
  if (firstSpace == std::string::npos || secondSpace == std::string::npos) return {};
  RequestLine request;
  request.method = line.substr(0, firstSpace);
  const std::string target = line.substr(firstSpace + 1, secondSpace - firstSpace - 1);
  const size_t question = target.find('?');
  request.path = target.substr(0, question);
  if (question != std::string::npos) request.query = target.substr(question + 1);
  return request;
}

std::string reasonPhrase(int status) {
  switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    default: return "Error";
  }
}

}  // namespace

RedirectListener::RedirectListener(std::string callbackPath)
    : callbackPath_(std::move(callbackPath)), listener_(TcpSocket::listenOnLoopback()), port_(listener_.localPort()) {}

std::string RedirectListener::redirectUri() const {
  return "http://127.0.0.1:" + std::to_string(port_) + callbackPath_;
}

std::optional<Redirect> RedirectListener::waitForRedirect(std::chrono::steady_clock::time_point deadline,
                                                          const std::atomic<bool>& cancelled,
                                                          const LibraryLog& log) {
  while (!cancelled.load() && std::chrono::steady_clock::now() < deadline && listener_.isOpen()) {
    TcpSocket::Accepted accepted = listener_.accept(kPollSlice);
    if (!accepted.socket.isOpen()) continue;
    if (!isLoopbackPeer(accepted.peerAddress)) {
      log.warning("refused a sign-in connection from a non-loopback address");
      continue;
    }
    const RequestLine request =
        readRequestLine(accepted.socket, std::min(deadline, std::chrono::steady_clock::now() + kRequestTimeout));
    if (request.method != "GET" || request.path != callbackPath_) {
      if (!request.method.empty()) respondToBrowser(accepted.socket, 404, "Not found.");
      continue;
    }
    // One redirect per sign-in: nothing else may reach this port from now on.
    listener_.close();
    return Redirect{parseQuery(request.query), std::move(accepted.socket)};
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
