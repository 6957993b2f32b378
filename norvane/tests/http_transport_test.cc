// The platform's HTTP transport (cpp-httplib on Linux, WinHTTP on Windows) against a
// small server on 127.0.0.1.
#include <atomic>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

#include "http_transport.h"
#include "test_socket.h"
#include "url.h"

namespace norvane {
namespace {

using namespace std::chrono_literals;
using tavixtest::TestSocket;

// Answers requests for /start with a redirect to /elsewhere (302 to a GET, 307,
// which keeps the method and body, to a POST) and records every request head.
class RedirectingServer {
 public:
  RedirectingServer() : listener_(TestSocket::listenOnLoopback()), thread_([this] { serve(); }) {}
  ~RedirectingServer() {
    stopping_ = true;
    thread_.join();
  }
  std::string url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(listener_.localPort()) + path;
  }
  std::vector<std::string> requestLines() const {
    std::lock_guard lock(mutex_);
    return requestLines_;
  }

 private:
  void serve() {
    while (!stopping_) {
      const TestSocket connection = listener_.accept(50ms);
      if (!connection.isOpen()) continue;
      const std::string head = connection.receiveHttpMessage();
      const std::string line = head.substr(0, head.find("\r\n"));
      {
        std::lock_guard lock(mutex_);
        requestLines_.push_back(line);
      }
      const bool post = line.rfind("POST ", 0) == 0;
      const std::string answer = line.find(" /start ") != std::string::npos
          ? std::string(post ? "HTTP/1.1 307 Temporary Redirect" : "HTTP/1.1 302 Found") + "\r\nLocation: " +
                url("/elsewhere") + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n"
          : "HTTP/1.1 200 OK\r\nContent-Length: 8\r\nConnection: close\r\n\r\nfollowed";
      connection.sendAll(answer);
    }
  }

  TestSocket listener_;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::vector<std::string> requestLines_;
  std::thread thread_;
};

TEST(NorvaneTransport, RedirectsAreAnsweredNotFollowed) {
  RedirectingServer server;
  const std::unique_ptr<HttpTransport> transport = createHttpTransport();

  HttpRequest call;
  call.method = "GET";
  call.url = parseUrl(server.url("/start"));
  call.headers = {{"Authorization", "Bearer a-token"}};
  EXPECT_EQ(transport->send(call).status, 302);

  HttpRequest tokenRequest;
  tokenRequest.method = "POST";
  tokenRequest.url = parseUrl(server.url("/start"));
  tokenRequest.contentType = "application/x-www-form-urlencoded";
  tokenRequest.body = "grant_type=authorization_code&code=c&code_verifier=v";
  EXPECT_EQ(transport->send(tokenRequest).status, 307);

  // Neither the token nor the code went on to where the redirects pointed.
  EXPECT_EQ(server.requestLines(), (std::vector<std::string>{"GET /start HTTP/1.1", "POST /start HTTP/1.1"}));
}

}  // namespace
}  // namespace norvane
