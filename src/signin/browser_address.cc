#include "signin/browser_address.h"

#include <algorithm>
#include <charconv>

#include "core/ascii_case.h"

namespace {

// Four decimal parts without leading zeros: resolvers take "0127.0.0.1" as
// octal, which is 87.0.0.1, not this machine.
bool isLoopbackHost(const std::string& host) {
  if (host == "localhost" || host == "[::1]") return true;
  int octets = 0;
  size_t position = 0;
  while (position <= host.size()) {
    const size_t dot = std::min(host.find('.', position), host.size());
    const size_t length = dot - position;
    if (length == 0 || length > 3 || (length > 1 && host[position] == '0')) return false;
    unsigned value = 256;
    const auto [end, error] = std::from_chars(host.data() + position, host.data() + dot, value);
    if (error != std::errc() || end != host.data() + dot || value > 255) return false;
    if (octets == 0 && value != 127) return false;
    ++octets;
    position = dot + 1;
  }
  return octets == 4;
}

bool isPort(const std::string& text) {
  return text.size() <= 5 && text.find_first_not_of("0123456789") == std::string::npos &&
         (text.empty() || std::stoul(text) <= 65535);
}

}  // namespace

bool isBrowsableAddress(const std::string& address) {
  const size_t separator = address.find("://");
  if (separator == std::string::npos) return false;
  const std::string scheme = asciiLowered(address.substr(0, separator));
  if (scheme != "http" && scheme != "https") return false;
  const size_t authorityStart = separator + 3;
  const size_t authorityEnd = std::min(address.find_first_of("/?#", authorityStart), address.size());
  const std::string authority = asciiLowered(address.substr(authorityStart, authorityEnd - authorityStart));
  // User information could make the host something other than it seems.
  if (authority.empty() || authority.find('@') != std::string::npos) return false;
  if (authority.find_first_of(" \t\r\n\\") != std::string::npos) return false;
  const size_t portColon = authority.rfind(':');
  const bool hasPort = portColon != std::string::npos && authority.find(']', portColon) == std::string::npos;
  const std::string host = hasPort ? authority.substr(0, portColon) : authority;
  if (host.empty()) return false;
  return scheme == "https" || (isLoopbackHost(host) && (!hasPort || isPort(authority.substr(portColon + 1))));
}
