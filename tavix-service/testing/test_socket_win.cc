#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>

#include <mutex>

#include "test_socket.h"

namespace tavixtest {

namespace {

void startWinsock() {
  static std::once_flag started;
  std::call_once(started, [] {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  });
}

SOCKET native(intptr_t handle) { return static_cast<SOCKET>(handle); }

}  // namespace

TestSocket TestSocket::connectTo(const std::string& host, int port, std::chrono::milliseconds patience) {
  startWinsock();
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* addresses = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &addresses) != 0) return {};
  SOCKET fd = INVALID_SOCKET;
  for (addrinfo* a = addresses; a && fd == INVALID_SOCKET; a = a->ai_next) {
    fd = socket(a->ai_family, a->ai_socktype, a->ai_protocol);
    if (fd != INVALID_SOCKET && connect(fd, a->ai_addr, static_cast<int>(a->ai_addrlen)) != 0) {
      closesocket(fd);
      fd = INVALID_SOCKET;
    }
  }
  freeaddrinfo(addresses);
  if (fd == INVALID_SOCKET) return {};
  const DWORD timeout = static_cast<DWORD>(patience.count());
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
  return TestSocket(static_cast<intptr_t>(fd));
}

TestSocket TestSocket::listenOnLoopback() {
  startWinsock();
  const SOCKET fd = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (fd == INVALID_SOCKET) return {};
  TestSocket listener(static_cast<intptr_t>(fd));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 16) != 0) return {};
  return listener;
}

int TestSocket::localPort() const {
  sockaddr_in address{};
  int length = sizeof address;
  getsockname(native(handle_), reinterpret_cast<sockaddr*>(&address), &length);
  return ntohs(address.sin_port);
}

TestSocket TestSocket::accept(std::chrono::milliseconds timeout) const {
  WSAPOLLFD entry{native(handle_), POLLRDNORM, 0};
  if (WSAPoll(&entry, 1, static_cast<INT>(timeout.count())) != 1) return {};
  const SOCKET fd = ::accept(native(handle_), nullptr, nullptr);
  return fd == INVALID_SOCKET ? TestSocket() : TestSocket(static_cast<intptr_t>(fd));
}

bool TestSocket::sendAll(std::string_view data) const {
  while (!data.empty()) {
    const int sent = send(native(handle_), data.data(), static_cast<int>(data.size()), 0);
    if (sent <= 0) return false;
    data.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

size_t TestSocket::receive(char* buffer, size_t size) const {
  const int received = recv(native(handle_), buffer, static_cast<int>(size), 0);
  return received > 0 ? static_cast<size_t>(received) : 0;
}

void TestSocket::close() {
  if (handle_ == kInvalid) return;
  closesocket(native(handle_));
  handle_ = kInvalid;
}

std::vector<std::string> nonLoopbackIpv4Addresses() {
  std::vector<std::string> addresses;
  ULONG size = 16 * 1024;
  std::vector<char> buffer(size);
  auto* adapters = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
  const ULONG flags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
  if (GetAdaptersAddresses(AF_INET, flags, nullptr, adapters, &size) != NO_ERROR) return addresses;
  for (IP_ADAPTER_ADDRESSES* adapter = adapters; adapter; adapter = adapter->Next) {
    for (IP_ADAPTER_UNICAST_ADDRESS* entry = adapter->FirstUnicastAddress; entry; entry = entry->Next) {
      const in_addr address = reinterpret_cast<sockaddr_in*>(entry->Address.lpSockaddr)->sin_addr;
      if ((ntohl(address.s_addr) >> 24) != 127) addresses.push_back(inet_ntoa(address));
    }
  }
  return addresses;
}

}  // namespace tavixtest
