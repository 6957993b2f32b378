#include "service_config.h"

namespace norvane {

Url serviceAddress(const std::string& root, const std::string& relativePath) {
  const std::string base = !root.empty() && root.back() != '/' ? root + "/" : root;
  Url url = parseUrl(base + relativePath);
  requireSecureTransport(url);
  return url;
}

}  // namespace norvane
