// Request heads as anything on this machine may send them to the sign-in
// listener: only a GET of the callback path carrying this sign-in's state is
// taken, and a well-formed browser redirect with that state always is.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "redirect_request.h"
#include "url.h"

namespace {

const std::string kCallbackPath = "/callback";

using Verdict = norvane::RedirectRequest::Verdict;

void checkAnyHead(const std::string& head, const std::string& expectedState) {
  const norvane::RedirectRequest request = norvane::judgeRedirectRequest(head, kCallbackPath, expectedState);
  const std::string line = head.substr(0, head.find("\r\n"));
  if (request.verdict == Verdict::NotFound) return;
  FUZZ_CHECK(line.starts_with("GET " + kCallbackPath));
  const char next = line[4 + kCallbackPath.size()];
  FUZZ_CHECK(next == ' ' || next == '?');
  FUZZ_CHECK(line.find(' ', 4 + kCallbackPath.size()) != std::string::npos);
  if (request.verdict == Verdict::Redirect) FUZZ_CHECK(request.query.at("state") == expectedState);
  else FUZZ_CHECK(request.query.empty());
}

void checkBrowserRedirect(const std::string& code, const std::string& state, const std::string& expectedState) {
  const std::string head = "GET " + kCallbackPath + "?" + norvane::buildQuery({{"code", code}, {"state", state}}) +
                           " HTTP/1.1\r\nHost: 127.0.0.1:49152\r\n\r\n";
  const norvane::RedirectRequest request = norvane::judgeRedirectRequest(head, kCallbackPath, expectedState);
  FUZZ_CHECK(request.verdict == (state == expectedState ? Verdict::Redirect : Verdict::WrongState));
  if (request.verdict == Verdict::Redirect) FUZZ_CHECK(request.query.at("code") == code);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string expectedState = input.ConsumeRandomLengthString(48);
  const std::string code = input.ConsumeRandomLengthString(48);
  const std::string head = input.ConsumeRemainingBytesAsString();
  checkAnyHead(head, expectedState);
  checkBrowserRedirect(code, expectedState, expectedState);
  checkBrowserRedirect(code, head.substr(0, 48), expectedState);
  return 0;
}
