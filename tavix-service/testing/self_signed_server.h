// An https server on 127.0.0.1 whose certificate no authority signed: openssl's
// own test server. On Windows (under wine) the one a Linux test started,
// named by kSelfSignedUrlVariable.
#pragma once

#include <filesystem>
#include <string>

namespace tavixtest {

inline constexpr const char* kSelfSignedUrlVariable = "TAVIX_TEST_SELF_SIGNED_URL";

class SelfSignedServer {
 public:
  // Throws std::runtime_error when it cannot start (or, on Windows, was not given).
  SelfSignedServer();
  ~SelfSignedServer();
  SelfSignedServer(const SelfSignedServer&) = delete;
  SelfSignedServer& operator=(const SelfSignedServer&) = delete;

  // "https://127.0.0.1:PORT/"
  const std::string& url() const { return url_; }

 private:
  void stop();

  std::filesystem::path folder_;
  std::string url_;
  int pid_ = -1;
};

}  // namespace tavixtest
