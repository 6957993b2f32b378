#include "http_transport.h"

#include <cstdlib>
#include <string>

namespace norvane {

HttpTimeouts httpTimeouts() {
  HttpTimeouts timeouts{std::chrono::seconds(15), std::chrono::minutes(5)};
  const char* text = std::getenv("NORVANE_NETWORK_TIMEOUT_SECONDS");
  if (!text) return timeouts;
  char* end = nullptr;
  const long seconds = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || seconds < 1 || seconds > 3600) return timeouts;
  timeouts.connect = timeouts.transfer = std::chrono::seconds(seconds);
  return timeouts;
}

std::string cannotConnectMessage(const Url& url, const std::string& detail) {
  std::string message = "norvane: cannot connect to " + url.origin();
  if (!detail.empty()) message += " (" + detail + ")";
  return message;
}

std::string utf8Path(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace norvane
