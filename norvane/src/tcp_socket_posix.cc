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

std::vector<bool> TcpSocket::waitReadable(const std::vector<const TcpSocket*>& sockets,
                                          std::chrono::milliseconds timeout) {
  std::vector<pollfd> entries;
  for (const TcpSocket* socket : sockets) entries.push_back({static_cast<int>(socket->handle_), POLLIN, 0});
  int ready;
  do {
    ready = ::poll(entries.data(), entries.size(), static_cast<int>(timeout.count()));
  } while (ready < 0 && errno == EINTR);
  std::vector<bool> readable(sockets.size(), false);
  for (size_t i = 0; ready > 0 && i < entries.size(); ++i) readable[i] = entries[i].revents != 0;
  return readable;
}

TcpSocket::Accepted TcpSocket::accept(std::chrono::milliseconds timeout) const {
  Accepted accepted;
  if (!waitReadable({this}, timeout).front()) return accepted;
  sockaddr_in peer{};
  socklen_t length = sizeof peer;
  const int fd = ::accept4(static_cast<int>(handle_), reinterpret_cast<sockaddr*>(&peer), &length, SOCK_CLOEXEC);
  if (fd < 0) return accepted;
  accepted.socket = TcpSocket(fd);
  accepted.peerAddress = peer.sin_family == AF_INET ? ntohl(peer.sin_addr.s_addr) : 0;
  return accepted;
}

TcpSocket::Received TcpSocket::receive(char* buffer, size_t size, std::chrono::milliseconds timeout) const {
  if (!waitReadable({this}, timeout).front()) return {};
  ssize_t received;
  do {
    received = ::recv(static_cast<int>(handle_), buffer, size, 0);
  } while (received < 0 && errno == EINTR);
  if (received <= 0) return {0, true};
  return {static_cast<size_t>(received), false};
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
