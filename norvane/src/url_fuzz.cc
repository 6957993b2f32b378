// Addresses and query strings as a configuration or a server may hand them to
// the library: an address either parses into parts that print and parse back
// the same, or is refused as a configuration error; plain http reaches only
// hosts a resolver takes for this machine; encoding and query building
// round-trip.
#include <arpa/inet.h>
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "fuzz_check.h"
#include "norvane/errors.h"
#include "url.h"

namespace {

bool resolvesToThisMachine(const std::string& host) {
  if (host == "localhost" || host == "::1") return true;
  in_addr address{};
  return host.find('\0') == std::string::npos && inet_aton(host.c_str(), &address) != 0 &&
         (ntohl(address.s_addr) >> 24) == 127;
}

void checkAddress(const std::string& text) {
  norvane::Url url;
  try {
    url = norvane::parseUrl(text);
  } catch (const norvane::ConfigurationError&) {
    return;
  }
  FUZZ_CHECK(url.scheme == "http" || url.scheme == "https");
  FUZZ_CHECK(!url.host.empty() && url.port != 0 && url.target.starts_with('/'));
  FUZZ_CHECK(url.target.find('#') == std::string::npos);
  const norvane::Url again = norvane::parseUrl(url.origin() + url.target.substr(1));
  FUZZ_CHECK(again.scheme == url.scheme && again.host == url.host && again.port == url.port &&
             again.target == url.target);
  bool allowed = true;
  try {
    norvane::requireSecureTransport(url);
  } catch (const norvane::ConfigurationError&) {
    allowed = false;
  }
  if (allowed && url.scheme == "http") FUZZ_CHECK(resolvesToThisMachine(url.host));
  if (url.scheme == "https") FUZZ_CHECK(allowed);
}

void checkQuery(FuzzedDataProvider& input) {
  norvane::QueryParameters parameters;
  std::map<std::string, std::string> firstValues;
  const int count = input.ConsumeIntegralInRange(0, 4);
  for (int i = 0; i < count; ++i) {
    std::string key = input.ConsumeRandomLengthString(16);
    std::string value = input.ConsumeRandomLengthString(32);
    FUZZ_CHECK(norvane::percentDecode(norvane::percentEncode(value)) == value);
    firstValues.emplace(key, value);
    parameters.emplace_back(std::move(key), std::move(value));
  }
  const std::string query = norvane::buildQuery(parameters);
  FUZZ_CHECK(query.find_first_of("#?/ ") == std::string::npos);
  FUZZ_CHECK(norvane::parseQuery(query) == firstValues);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  checkQuery(input);
  const std::string rest = input.ConsumeRemainingBytesAsString();
  checkAddress(rest);
  norvane::parseQuery(rest);
  norvane::percentDecode(rest);
  return 0;
}
