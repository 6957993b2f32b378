#include "http_transport.h"

namespace norvane {

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
