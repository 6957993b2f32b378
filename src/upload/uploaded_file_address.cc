#include "upload/uploaded_file_address.h"

#include <vector>

#include "core/ascii_case.h"

std::string addressForPrimaryFile(const std::map<std::string, std::string>& fileUrls, const std::string& primaryName) {
  if (fileUrls.empty()) return {};
  if (!primaryName.empty()) {
    if (auto exact = fileUrls.find(primaryName); exact != fileUrls.end()) return exact->second;
    const std::string folded = asciiLowered(primaryName);
    for (const auto& [name, url] : fileUrls)
      if (asciiLowered(name) == folded) return url;
  }
  return fileUrls.size() == 1 ? fileUrls.begin()->second : std::string();
}

namespace {

std::string trimmed(const std::string& text) {
  const char* space = " \t\r\n\f\v";
  const size_t first = text.find_first_not_of(space);
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(space) - first + 1);
}

bool namesRevision(const std::string& piece) {
  const std::string name = piece.substr(0, piece.find('='));
  return name == "revisionId" || name == "revision_id";
}

}  // namespace

// One split for both names: once the query is gone, a "?" in the fragment
// must not be taken for the start of another query.
std::string cleanedAddress(const std::string& rawAddress) {
  const std::string address = trimmed(rawAddress);
  const size_t question = address.find('?');
  if (question == std::string::npos) return address;
  const size_t hash = address.find('#', question);
  const std::string base = address.substr(0, question);
  const std::string query = address.substr(question + 1, hash == std::string::npos ? std::string::npos
                                                                                    : hash - question - 1);
  const std::string fragment = hash == std::string::npos ? std::string() : address.substr(hash);

  std::string kept;
  size_t start = 0;
  while (true) {
    const size_t end = query.find('&', start);
    const std::string piece = query.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!namesRevision(piece)) kept += (kept.empty() ? "" : "&") + piece;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return base + (kept.empty() ? "" : "?" + kept) + fragment;
}

std::string workspaceAddress(const std::string& fileAddress, const NorvaneWorkspace& workspace) {
  if (workspace.addressKey.empty() || fileAddress.empty()) return {};
  const size_t scheme = fileAddress.find("://");
  if (scheme == std::string::npos) return {};
  const size_t pathStart = fileAddress.find('/', scheme + 3);
  if (pathStart == std::string::npos) return {};
  const std::string origin = fileAddress.substr(0, pathStart);
  const size_t pathEnd = fileAddress.find_first_of("?#", pathStart);
  const std::string path = fileAddress.substr(pathStart, pathEnd == std::string::npos ? std::string::npos
                                                                                      : pathEnd - pathStart);
  size_t match = path.find("/workspace/");
  if (match == std::string::npos) match = path.find("/session_page/");
  if (match == std::string::npos) return {};
  return origin + path.substr(0, match + 1) + "workspace/" + workspace.addressKey;
}
