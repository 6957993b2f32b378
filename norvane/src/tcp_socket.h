// A TCP socket with just what the sign-in's loopback listener needs. The
// platform files implement it over POSIX sockets or Winsock.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace norvane {

class TcpSocket {
 public:
  TcpSocket() = default;
  ~TcpSocket();
  TcpSocket(TcpSocket&& other) noexcept;
  TcpSocket& operator=(TcpSocket&& other) noexcept;
  TcpSocket(const TcpSocket&) = delete;
  TcpSocket& operator=(const TcpSocket&) = delete;

  // Listens on 127.0.0.1 on a port the system picks; throws NorvaneError when it cannot.
  static TcpSocket listenOnLoopback();

  bool isOpen() const { return handle_ != kInvalid; }
  uint16_t localPort() const;
  // The bound IPv4 address as four bytes in network order, e.g. 127.0.0.1.
  uint32_t localAddress() const;

  struct Accepted;
  // Waits up to `timeout` for a connection; the result's socket is closed on time-out.
  Accepted accept(std::chrono::milliseconds timeout) const;

  // Waits up to `timeout` until any of `sockets` has something to accept or to
  // read, or has been closed by its peer; true at the index of each that has.
  static std::vector<bool> waitReadable(const std::vector<const TcpSocket*>& sockets,
                                        std::chrono::milliseconds timeout);

  struct Received {
    size_t size = 0;      // 0 when nothing arrived in time
    bool ended = false;   // the peer closed its side, or the connection failed
  };
  // Up to `size` bytes, waiting at most `timeout`.
  Received receive(char* buffer, size_t size, std::chrono::milliseconds timeout) const;
  bool sendAll(std::string_view data) const;
  void close();

 private:
  static constexpr intptr_t kInvalid = -1;
  explicit TcpSocket(intptr_t handle) : handle_(handle) {}
  intptr_t handle_ = kInvalid;
};

struct TcpSocket::Accepted {
  TcpSocket socket;
  uint32_t peerAddress = 0;  // IPv4, host byte order
};

// 127.0.0.0/8 in host byte order.
inline bool isLoopbackPeer(uint32_t address) { return (address >> 24) == 127; }

}  // namespace norvane
