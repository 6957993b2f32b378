#include "gated_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <optional>
#include <string>

namespace tavixservice {
namespace {

// How long a refused client may go on sending before the connection is cut:
// long enough for a client on this machine to finish its body and read the
// answer, which it would lose to a reset if it were still writing.
constexpr auto kLingerAfterRefusal = std::chrono::seconds(2);
constexpr int kStopCheckMs = 50;

struct ConnectionState {
  bool closeAfterAnswer = false;
};

thread_local ConnectionState* currentConnection = nullptr;

bool waitFor(int fd, short events, int timeoutMs) {
  pollfd watched{fd, events, 0};
  int ready = 0;
  do {
    ready = ::poll(&watched, 1, timeoutMs);
  } while (ready < 0 && errno == EINTR);
  return ready > 0;
}

void addressOf(bool local, int fd, std::string& ip, int& port) {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  const int status = local ? getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length)
                           : getpeername(fd, reinterpret_cast<sockaddr*>(&address), &length);
  if (status != 0) return;
  std::array<char, INET6_ADDRSTRLEN> text{};
  if (address.ss_family == AF_INET) {
    const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
    inet_ntop(AF_INET, &v4.sin_addr, text.data(), text.size());
    port = ntohs(v4.sin_port);
  } else if (address.ss_family == AF_INET6) {
    const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
    inet_ntop(AF_INET6, &v6.sin6_addr, text.data(), text.size());
    port = ntohs(v6.sin6_port);
  }
  ip = text.data();
}

// The connection as the server reads and answers it. While a head is read,
// only kMaxHeadBytes are handed out; after that the connection reads as ended,
// so the server stops with what it has instead of growing a line for ever.
class ConnectionStream : public httplib::Stream {
 public:
  ConnectionStream(int fd, int readTimeoutMs, int writeTimeoutMs)
      : fd_(fd), readTimeoutMs_(readTimeoutMs), writeTimeoutMs_(writeTimeoutMs) {}

  void startHead() { headBudget_ = GatedServer::kMaxHeadBytes; }
  void endHead() { headBudget_.reset(); }
  bool hasBuffered() const { return begin_ < end_; }

  bool is_readable() const override { return hasBuffered() || waitFor(fd_, POLLIN, readTimeoutMs_); }
  bool is_writable() const override { return waitFor(fd_, POLLOUT, writeTimeoutMs_); }

  ssize_t read(char* ptr, size_t size) override {
    if (headBudget_) {
      if (*headBudget_ == 0) return 0;
      size = std::min(size, *headBudget_);
    }
    if (!hasBuffered()) {
      if (!is_readable()) return -1;
      // A body's large reads skip the buffer.
      if (!headBudget_ && size >= buffer_.size()) return ::recv(fd_, ptr, size, 0);
      const ssize_t received = ::recv(fd_, buffer_.data(), buffer_.size(), 0);
      if (received <= 0) return received;
      begin_ = 0;
      end_ = static_cast<size_t>(received);
    }
    const size_t given = std::min(size, end_ - begin_);
    std::copy_n(buffer_.data() + begin_, given, ptr);
    begin_ += given;
    if (headBudget_) *headBudget_ -= given;
    return static_cast<ssize_t>(given);
  }

  ssize_t write(const char* ptr, size_t size) override {
    if (!is_writable()) return -1;
    return ::send(fd_, ptr, size, MSG_NOSIGNAL);
  }

  void get_remote_ip_and_port(std::string& ip, int& port) const override { addressOf(false, fd_, ip, port); }
  void get_local_ip_and_port(std::string& ip, int& port) const override { addressOf(true, fd_, ip, port); }
  socket_t socket() const override { return fd_; }

 private:
  const int fd_;
  const int readTimeoutMs_;
  const int writeTimeoutMs_;
  std::array<char, 16 * 1024> buffer_{};
  size_t begin_ = 0;
  size_t end_ = 0;
  std::optional<size_t> headBudget_;
};

// Waits for the next request of a kept-alive connection; false when the
// client stays silent or the server stops.
bool nextRequestArrives(const ConnectionStream& stream, const std::atomic<socket_t>& listening,
                        time_t keepAliveSeconds) {
  if (stream.hasBuffered()) return true;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(keepAliveSeconds);
  while (listening != INVALID_SOCKET && std::chrono::steady_clock::now() < deadline) {
    if (waitFor(stream.socket(), POLLIN, kStopCheckMs)) return true;
  }
  return false;
}

// The answer is out; what the client still sends is read into nothing for a
// short while, so that it finishes writing and reads the answer.
void lingerAndDiscard(int fd) {
  ::shutdown(fd, SHUT_WR);
  const auto deadline = std::chrono::steady_clock::now() + kLingerAfterRefusal;
  std::array<char, 64 * 1024> sink{};
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || !waitFor(fd, POLLIN, static_cast<int>(left.count()))) return;
    if (::recv(fd, sink.data(), sink.size(), 0) <= 0) return;
  }
}

int milliseconds(time_t seconds, time_t microseconds) {
  return static_cast<int>(seconds * 1000 + microseconds / 1000);
}

}  // namespace

void GatedServer::closeAfterAnswer() {
  if (currentConnection) currentConnection->closeAfterAnswer = true;
}

bool GatedServer::process_and_close_socket(socket_t sock) {
  ConnectionStream stream(sock, milliseconds(read_timeout_sec_, read_timeout_usec_),
                          milliseconds(write_timeout_sec_, write_timeout_usec_));
  ConnectionState state;
  currentConnection = &state;
  bool served = false;
  for (size_t left = keep_alive_max_count_; left > 0; --left) {
    if (!nextRequestArrives(stream, svr_sock_, keep_alive_timeout_sec_)) break;
    stream.startHead();
    bool headAccepted = false;
    bool clientCloses = false;
    served = process_request(stream, left == 1, clientCloses, [&](httplib::Request&) {
      headAccepted = true;
      stream.endHead();
    });
    stream.endHead();
    if (!served) break;
    // A head the server refused (too long, malformed) leaves its body unread,
    // as does a request the gate refused: none of it is a next request.
    if (!headAccepted || state.closeAfterAnswer) {
      lingerAndDiscard(sock);
      break;
    }
    if (clientCloses) break;
  }
  currentConnection = nullptr;
  ::shutdown(sock, SHUT_RDWR);
  ::close(sock);
  return served;
}

}  // namespace tavixservice
