#include "loopback_redirect.h"

#include <cctype>

namespace tavixservice {

bool isLoopbackRedirect(const std::string& uri) {
  std::string rest;
  for (const char* prefix : {"http://127.0.0.1:", "http://localhost:"})
    if (uri.rfind(prefix, 0) == 0) rest = uri.substr(std::string(prefix).size());
  size_t digits = 0;
  while (digits < rest.size() && std::isdigit(static_cast<unsigned char>(rest[digits]))) ++digits;
  if (digits == 0 || digits > 5 || digits >= rest.size() || rest[digits] != '/') return false;
  int port = std::stoi(rest.substr(0, digits));
  if (port < 1 || port > 65535) return false;
  for (unsigned char c : rest)
    if (c <= ' ' || c == '#' || c == '\\' || c >= 0x7f) return false;
  return true;
}

}  // namespace tavixservice
