#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "test_socket.h"

namespace tavixtest {

namespace {

int native(intptr_t handle) { return static_cast<int>(handle); }

}  // namespace

TestSocket TestSocket::connectTo(const std::string& host, int port, std::chrono::milliseconds patience) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* addresses = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &addresses) != 0) return {};
  int fd = -1;
  for (addrinfo* a = addresses; a && fd < 0; a = a->ai_next) {
    fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
    if (fd >= 0 && connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
      ::close(fd);
      fd = -1;
    }
  }
  freeaddrinfo(addresses);
  if (fd < 0) return {};
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(patience);
  timeval timeout{static_cast<time_t>(seconds.count()),
                  static_cast<suseconds_t>((patience - seconds).count() * 1000)};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
  return TestSocket(fd);
}

TestSocket TestSocket::listenOnLoopback() {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return {};
  TestSocket listener(fd);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 16) != 0) return {};
  return listener;
}

int TestSocket::localPort() const {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  getsockname(native(handle_), reinterpret_cast<sockaddr*>(&address), &length);
  return ntohs(address.sin_port);
}

TestSocket TestSocket::accept(std::chrono::milliseconds timeout) const {
  pollfd entry{native(handle_), POLLIN, 0};
  if (poll(&entry, 1, static_cast<int>(timeout.count())) != 1) return {};
  const int fd = ::accept4(native(handle_), nullptr, nullptr, SOCK_CLOEXEC);
  return fd < 0 ? TestSocket() : TestSocket(fd);
}

bool TestSocket::sendAll(std::string_view data) const {
  while (!data.empty()) {
    const ssize_t sent = send(native(handle_), data.data(), data.size(), MSG_NOSIGNAL);
    if (sent <= 0) return false;
    data.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

size_t TestSocket::receive(char* buffer, size_t size) const {
  const ssize_t received = recv(native(handle_), buffer, size, 0);
  return received > 0 ? static_cast<size_t>(received) : 0;
}

void TestSocket::close() {
  if (handle_ == kInvalid) return;
  ::close(native(handle_));
  handle_ = kInvalid;
}

std::vector<std::string> nonLoopbackIpv4Addresses() {
  std::vector<std::string> addresses;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return addresses;
  for (ifaddrs* entry = list; entry; entry = entry->ifa_next) {
    if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET) continue;
    const in_addr address = reinterpret_cast<sockaddr_in*>(entry->ifa_addr)->sin_addr;
    if ((ntohl(address.s_addr) >> 24) != 127) addresses.push_back(inet_ntoa(address));
  }
  freeifaddrs(list);
  return addresses;
}

}  // namespace tavixtest
