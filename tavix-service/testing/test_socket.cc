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

int unusedLoopbackPort() { return TestSocket::listenOnLoopback().localPort(); }

}  // namespace tavixtest
