// One browser sign-in: authorization code with PKCE (S256) and a loopback
// redirect. Created by localAuthFlowAuthorize, finished by localAuthFlowComplete.
#pragma once

#include <atomic>
#include <chrono>
#include <optional>
#include <string>

#include "norvane/records.h"
#include "pkce.h"
#include "redirect_listener.h"
#include "service_config.h"

namespace norvane {

class HttpTransport;
class LibraryLog;

class SignInFlow {
 public:
  SignInFlow(ServiceConfig config, std::chrono::minutes timeout);

  // The address to open in the browser.
  std::string authorizationUrl() const;
  // Blocks until the browser comes back, checks it and exchanges the code.
  // Throws SignInError on time-out, cancellation or a refused code.
  NorvaneLocalAuthTokens complete(HttpTransport& transport, const LibraryLog& log);
  // Makes a waiting complete() give up: a newer sign-in replaced this one, or
  // the caller cancelled it.
  void replace() { replaced_.store(true), cancelled_.store(true); }
  void cancel() { cancelled_.store(true); }

 private:
  NorvaneLocalAuthTokens exchangeCode(const std::string& code, HttpTransport& transport, const LibraryLog& log);

  ServiceConfig config_;
  Url tokenEndpoint_;  // checked first: an insecure identity provider opens no port
  std::chrono::steady_clock::time_point deadline_;
  PkcePair pkce_;
  std::string state_;
  RedirectListener listener_;
  std::atomic<bool> cancelled_{false};
  std::atomic<bool> replaced_{false};
  std::atomic<bool> completing_{false};
};

}  // namespace norvane
