// Which addresses reach Creo's embedded browser: plain http only when the host
// is this machine as a resolver reads it (inet_aton takes "0127.0.0.1" as
// octal and "127.1" as 127.0.0.1), and never with user information.
#include <arpa/inet.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/ascii_case.h"
#include "fuzz_check.h"
#include "signin/browser_address.h"

namespace {

// The host of an http address as a browser takes it: after "://", before the
// first of "/?#", without the port.
std::string hostOf(const std::string& address) {
  const size_t start = address.find("://") + 3;
  std::string authority = address.substr(start, address.find_first_of("/?#", start) - start);
  if (authority.starts_with('[')) return authority.substr(0, std::min(authority.find(']'), authority.size() - 1) + 1);
  return authority.substr(0, authority.find(':'));
}

bool resolvesToThisMachine(const std::string& host) {
  const std::string name = asciiLowered(host);
  if (name == "localhost" || name == "[::1]") return true;
  in_addr address{};
  return inet_aton(name.c_str(), &address) != 0 && (ntohl(address.s_addr) >> 24) == 127;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string address(reinterpret_cast<const char*>(data), size);
  for (const std::string& candidate : {address, "http://" + address, "https://" + address}) {
    if (!isBrowsableAddress(candidate)) continue;
    const std::string scheme = asciiLowered(candidate.substr(0, candidate.find("://")));
    FUZZ_CHECK(scheme == "http" || scheme == "https");
    const size_t start = candidate.find("://") + 3;
    const std::string authority = candidate.substr(start, candidate.find_first_of("/?#", start) - start);
    FUZZ_CHECK(!authority.empty() && authority.find('@') == std::string::npos);
    if (scheme == "http") FUZZ_CHECK(resolvesToThisMachine(hostOf(candidate)));
  }
  return 0;
}
