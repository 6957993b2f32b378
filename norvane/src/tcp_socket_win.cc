#include <winsock2.h>
#include <ws2tcpip.h>

#include <mutex>
#include <string>

#include "norvane/errors.h"
#include "tcp_socket.h"

namespace norvane {

namespace {

void startWinsock() {
  static std::once_flag started;
  std::call_once(started, [] {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) throw NorvaneError("norvane: cannot start Winsock");
  });
}

SOCKET native(intptr_t handle) { return static_cast<SOCKET>(handle); }

}  // namespace

TcpSocket TcpSocket::listenOnLoopback() {
  startWinsock();
  const SOCKET socket = ::WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
  if (socket == INVALID_SOCKET) {
    throw NorvaneError("norvane: cannot create a socket (error " + std::to_string(WSAGetLastError()) + ")");
  }
  TcpSocket listener(static_cast<intptr_t>(socket));
  // No other process may bind the same port and take the redirect.
  BOOL exclusive = TRUE;
  ::setsockopt(socket, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive), sizeof exclusive);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(socket, 8) != 0) {
    throw NorvaneError("norvane: cannot listen on 127.0.0.1 (error " + std::to_string(WSAGetLastError()) + ")");
  }
  return listener;
}

uint16_t TcpSocket::localPort() const {
  sockaddr_in address{};
  int length = sizeof address;
  ::getsockname(native(handle_), reinterpret_cast<sockaddr*>(&address), &length);
  return ntohs(address.sin_port);
}

uint32_t TcpSocket::localAddress() const {
  sockaddr_in address{};
  int length = sizeof address;
  ::getsockname(native(handle_), reinterpret_cast<sockaddr*>(&address), &length);
  return ntohl(address.sin_addr.s_addr);
}

std::vector<bool> TcpSocket::waitReadable(const std::vector<const TcpSocket*>& sockets,
                                          std::chrono::milliseconds timeout) {
  std::vector<WSAPOLLFD> entries;
  for (const TcpSocket* socket : sockets) entries.push_back({native(socket->handle_), POLLRDNORM, 0});
  const int ready = WSAPoll(entries.data(), static_cast<ULONG>(entries.size()), static_cast<INT>(timeout.count()));
  std::vector<bool> readable(sockets.size(), false);
  for (size_t i = 0; ready > 0 && i < entries.size(); ++i) readable[i] = entries[i].revents != 0;
  return readable;
}

TcpSocket::Accepted TcpSocket::accept(std::chrono::milliseconds timeout) const {
  Accepted accepted;
  if (!waitReadable({this}, timeout).front()) return accepted;
  sockaddr_in peer{};
  int length = sizeof peer;
  const SOCKET socket = ::accept(native(handle_), reinterpret_cast<sockaddr*>(&peer), &length);
  if (socket == INVALID_SOCKET) return accepted;
  accepted.socket = TcpSocket(static_cast<intptr_t>(socket));
  accepted.peerAddress = peer.sin_family == AF_INET ? ntohl(peer.sin_addr.s_addr) : 0;
  return accepted;
}

TcpSocket::Received TcpSocket::receive(char* buffer, size_t size, std::chrono::milliseconds timeout) const {
  if (!waitReadable({this}, timeout).front()) return {};
  const int received = ::recv(native(handle_), buffer, static_cast<int>(size), 0);
  if (received <= 0) return {0, true};
  return {static_cast<size_t>(received), false};
}

bool TcpSocket::sendAll(std::string_view data) const {
  while (!data.empty()) {
    const int sent = ::send(native(handle_), data.data(), static_cast<int>(data.size()), 0);
    if (sent <= 0) return false;
    data.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

void TcpSocket::close() {
  if (handle_ == kInvalid) return;
  ::closesocket(native(handle_));
  handle_ = kInvalid;
}

}  // namespace norvane
