#include "test_socket.h"

namespace tavixtest {

TestSocket::~TestSocket() { close(); }

TestSocket::TestSocket(TestSocket&& other) noexcept : handle_(other.handle_) { other.handle_ = kInvalid; }

TestSocket& TestSocket::operator=(TestSocket&& other) noexcept {
  if (this != &other) {
    close();
    handle_ = other.handle_;
    other.handle_ = kInvalid;
  }
  return *this;
}

std::string TestSocket::receiveAll() const {
  std::string received;
  char buffer[16384];
  for (size_t n; (n = receive(buffer, sizeof buffer)) > 0;) received.append(buffer, n);
  return received;
}

std::string TestSocket::receiveHttpMessage() const {
  std::string received;
  char buffer[4096];
  for (;;) {
    const size_t headEnd = received.find("\r\n\r\n");
    const size_t lengthAt = received.find("Content-Length: ");
    const size_t length = lengthAt < headEnd ? std::stoul(received.substr(lengthAt + 16)) : 0;
    if (headEnd != std::string::npos && received.size() >= headEnd + 4 + length) return received;
    const size_t n = receive(buffer, sizeof buffer);
    if (n == 0) return received;
    received.append(buffer, n);
  }
}

int unusedLoopbackPort() { return TestSocket::listenOnLoopback().localPort(); }

}  // namespace tavixtest
