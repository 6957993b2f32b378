#include "connection_reset.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdlib>
#include <filesystem>

namespace tavixservice {
namespace {

bool isConnection(int fd, const std::string& remoteAddress, int remotePort, int localPort) {
  sockaddr_in peer{};
  socklen_t length = sizeof peer;
  if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) != 0 || peer.sin_family != AF_INET) return false;
  char address[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &peer.sin_addr, address, sizeof address);
  if (address != remoteAddress || ntohs(peer.sin_port) != remotePort) return false;
  sockaddr_in local{};
  length = sizeof local;
  return getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) == 0 && ntohs(local.sin_port) == localPort;
}

}  // namespace

// The HTTP server does not hand out its sockets: the connection is found among
// the process's descriptors by its two ends.
bool resetConnection(const std::string& remoteAddress, int remotePort, int localPort) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
    const int fd = std::atoi(entry.path().filename().c_str());
    if (!isConnection(fd, remoteAddress, remotePort, localPort)) continue;
    // Disconnecting an established TCP socket sends a reset and leaves the descriptor open.
    sockaddr unspecified{};
    unspecified.sa_family = AF_UNSPEC;
    return connect(fd, &unspecified, sizeof unspecified) == 0;
  }
  return false;
}

}  // namespace tavixservice
