// The addresses of an upload result as the service might send them: the cleaned
// address loses every revision parameter and keeps everything else in order,
// the workspace address stays on the file's site, and the primary file's
// address is one of the result's.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/ascii_case.h"
#include "fuzz_check.h"
#include "upload/uploaded_file_address.h"

namespace {

std::string trimmed(const std::string& text) {
  const char* space = " \t\r\n\f\v";
  const size_t first = text.find_first_not_of(space);
  return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(space) - first + 1);
}

struct Parts {
  std::string base;
  std::string query;
  std::string fragment;
};

// Split at the first "?" and the first "#" after it.
Parts partsOf(const std::string& address) {
  const size_t question = address.find('?');
  if (question == std::string::npos) return {address, {}, {}};
  const size_t hash = std::min(address.find('#', question), address.size());
  return {address.substr(0, question), address.substr(question + 1, hash - question - 1), address.substr(hash)};
}

std::vector<std::string> nonEmptyPieces(const std::string& query) {
  std::vector<std::string> pieces;
  for (size_t start = 0, end; start <= query.size(); start = end + 1) {
    end = std::min(query.find('&', start), query.size());
    if (end > start) pieces.push_back(query.substr(start, end - start));
  }
  return pieces;
}

bool namesRevision(const std::string& piece) {
  const std::string name = piece.substr(0, piece.find('='));
  return name == "revisionId" || name == "revision_id";
}

void checkCleanedAddress(const std::string& address) {
  const std::string cleaned = cleanedAddress(address);
  const Parts before = partsOf(trimmed(address));
  std::vector<std::string> kept;
  for (const std::string& piece : nonEmptyPieces(before.query))
    if (!namesRevision(piece)) kept.push_back(piece);
  // Base, then "?" and what is kept unless nothing is, then the fragment.
  FUZZ_CHECK(cleaned.starts_with(before.base) && cleaned.ends_with(before.fragment));
  FUZZ_CHECK(cleaned.size() >= before.base.size() + before.fragment.size());
  const std::string middle =
      cleaned.substr(before.base.size(), cleaned.size() - before.base.size() - before.fragment.size());
  if (kept.empty()) FUZZ_CHECK(middle.empty());
  else FUZZ_CHECK(middle.starts_with('?') && nonEmptyPieces(middle.substr(1)) == kept);
}

void checkWorkspaceAddress(const std::string& fileAddress, const std::string& addressKey) {
  NorvaneWorkspace workspace;
  workspace.addressKey = addressKey;
  const std::string address = workspaceAddress(fileAddress, workspace);
  if (addressKey.empty() || fileAddress.empty()) FUZZ_CHECK(address.empty());
  if (address.empty()) return;
  // The file address's own beginning, up to a "/" that starts "/workspace/" or "/session_page/".
  const std::string tail = "workspace/" + addressKey;
  FUZZ_CHECK(address.size() > tail.size() && address.ends_with(tail));
  const std::string site = address.substr(0, address.size() - tail.size());
  FUZZ_CHECK(site.ends_with('/') && site.find("://") != std::string::npos);
  FUZZ_CHECK(fileAddress.starts_with(site + "workspace/") || fileAddress.starts_with(site + "session_page/"));
}

void checkPrimaryFile(const std::map<std::string, std::string>& fileUrls, const std::string& primaryName) {
  const std::string address = addressForPrimaryFile(fileUrls, primaryName);
  if (const auto exact = fileUrls.find(primaryName); exact != fileUrls.end() && !primaryName.empty())
    FUZZ_CHECK(address == exact->second);
  bool foldedMatch = false;
  bool isOneOfThem = false;
  for (const auto& [name, url] : fileUrls) {
    foldedMatch = foldedMatch || (!primaryName.empty() && asciiLowered(name) == asciiLowered(primaryName));
    isOneOfThem = isOneOfThem || url == address;
  }
  if (foldedMatch || fileUrls.size() == 1) FUZZ_CHECK(isOneOfThem);
  if (!foldedMatch && fileUrls.size() != 1) FUZZ_CHECK(address.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string addressKey = input.ConsumeRandomLengthString(32);
  const std::string primaryName = input.ConsumeRandomLengthString(32);
  std::map<std::string, std::string> fileUrls;
  const int entries = input.ConsumeIntegralInRange(0, 3);
  for (int i = 0; i < entries; ++i) {
    std::string name = input.ConsumeRandomLengthString(16);
    fileUrls[name] = input.ConsumeRandomLengthString(64);
  }
  const std::string address = input.ConsumeRemainingBytesAsString();
  checkCleanedAddress(address);
  checkWorkspaceAddress(address, addressKey);
  checkWorkspaceAddress(cleanedAddress(address), addressKey);
  checkPrimaryFile(fileUrls, primaryName);
  return 0;
}
