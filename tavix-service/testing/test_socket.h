// Plain TCP for test programs on Linux and Windows: a browser stand-in, hand-made
// requests, small servers on 127.0.0.1.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavixtest {

class TestSocket {
 public:
  TestSocket() = default;
  ~TestSocket();
  TestSocket(TestSocket&& other) noexcept;
  TestSocket& operator=(TestSocket&& other) noexcept;
  TestSocket(const TestSocket&) = delete;
  TestSocket& operator=(const TestSocket&) = delete;

  // Connected to host:port (a name or a numeric address), or closed when that
  // fails; a later receive waits at most `patience`.
  static TestSocket connectTo(const std::string& host, int port,
                              std::chrono::milliseconds patience = std::chrono::seconds(60));
  // Listening on 127.0.0.1 on a port the system picks; closed when that fails.
  static TestSocket listenOnLoopback();

  bool isOpen() const { return handle_ != kInvalid; }
  int localPort() const;
  // A connection that arrived within `timeout`, or a closed socket.
  TestSocket accept(std::chrono::milliseconds timeout) const;
  bool sendAll(std::string_view data) const;
  // Up to `size` bytes; 0 when the peer has closed, the connection failed or the patience ran out.
  size_t receive(char* buffer, size_t size) const;
  // Everything until the peer closes.
  std::string receiveAll() const;
  // One HTTP message: its head and as much body as its Content-Length announces;
  // what arrived before the peer closed when the message is cut short.
  std::string receiveHttpMessage() const;
  void close();

 private:
  static constexpr intptr_t kInvalid = -1;
  explicit TestSocket(intptr_t handle) : handle_(handle) {}
  intptr_t handle_ = kInvalid;
};

// The machine's IPv4 addresses outside 127.0.0.0/8, e.g. "192.0.2.2".
std::vector<std::string> nonLoopbackIpv4Addresses();
// A port on 127.0.0.1 that nobody listened on a moment ago.
int unusedLoopbackPort();

}  // namespace tavixtest
