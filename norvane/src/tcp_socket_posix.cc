#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "norvane/errors.h"
#include "tcp_socket.h"

namespace norvane {

namespace {

bool waitFor(int fd, short events, std::chrono::milliseconds timeout) {
  pollfd entry{fd, events, 0};
  int ready;
  do {
    ready = ::poll(&entry, 1, static_cast<int>(timeout.count()));
  } while (ready < 0 && errno == EINTR);
  return ready > 0;
}

}  // namespace

TcpSocket TcpSocket::listenOnLoopback() {
  TcpSocket listener(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!listener.isOpen()) throw NorvaneError(std::string("norvane: cannot create a socket: ") + std::strerror(errno));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  const int fd = static_cast<int>(listener.handle_);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 8) != 0) {
    throw NorvaneError(std::string("norvane: cannot listen on 127.0.0.1: ") + std::strerror(errno));
  }
  return listener;
}

uint16_t TcpSocket::localPort() const {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  ::getsockname(static_cast<int>(handle_), reinterpret_cast<sockaddr*>(&address), &length);
  return ntohs(address.sin_port);
}

uint32_t TcpSocket::localAddress() const {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  ::getsockname(static_cast<int>(handle_), reinterpret_cast<sockaddr*>(&address), &length);
  return ntohl(address.sin_addr.s_addr);
}

TcpSocket::Accepted TcpSocket::accept(std::chrono::milliseconds timeout) const {
  Accepted accepted;
  if (!waitFor(static_cast<int>(handle_), POLLIN, timeout)) return accepted;
  sockaddr_in peer{};
  socklen_t length = sizeof peer;
  const int fd = ::accept4(static_cast<int>(handle_), reinterpret_cast<sockaddr*>(&peer), &length, SOCK_CLOEXEC);
  if (fd < 0) return accepted;
  accepted.socket = TcpSocket(fd);
  accepted.peerAddress = peer.sin_family == AF_INET ? ntohl(peer.sin_addr.s_addr) : 0;
  return accepted;
}

size_t TcpSocket::receive(char* buffer, size_t size, std::chrono::milliseconds timeout) const {
  if (!waitFor(static_cast<int>(handle_), POLLIN, timeout)) return 0;
  const ssize_t received = ::recv(static_cast<int>(handle_), buffer, size, 0);
  return received > 0 ? static_cast<size_t>(received) : 0;
}

bool TcpSocket::sendAll(std::string_view data) const {
  while (!data.empty()) {
    const ssize_t sent = ::send(static_cast<int>(handle_), data.data(), data.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    data.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

void TcpSocket::close() {
  if (handle_ == kInvalid) return;
  ::close(static_cast<int>(handle_));
  handle_ = kInvalid;
}

}  // namespace norvane
