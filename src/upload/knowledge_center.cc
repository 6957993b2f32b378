#include "upload/knowledge_center.h"

#include <algorithm>

#include "core/log.h"
#include "core/properties.h"

namespace {

constexpr const char* kKnowledgeCenterPath = "/en/collections/19405936-creo-parametric";

// Letters, digits, dots, hyphens and a port colon: nothing that could carry a
// path, a query, credentials or another scheme into the address.
bool isHostName(const std::string& host) {
  return !host.empty() && std::all_of(host.begin(), host.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
           c == ':';
  });
}

}  // namespace

std::string knowledgeCenterUrl() {
  std::string host = TavixProperties::get(kKnowledgeCenterHostProperty);
  if (host.empty()) host = kDefaultKnowledgeCenterHost;
  if (!isHostName(host)) {
    logWarning(std::string("KnowledgeCenter: ") + kKnowledgeCenterHostProperty + "=" + host +
               " is not a host name; the Knowledge Center cannot be opened.");
    return {};
  }
  return "https://" + host + kKnowledgeCenterPath;
}
