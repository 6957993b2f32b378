#include "sign_in_flow.h"

#include <nlohmann/json.hpp>

#include "http_transport.h"
#include "library_log.h"
#include "norvane/errors.h"
#include "service_api.h"

namespace norvane {

namespace {

const char* const kCallbackPath = "/callback";
const char* const kScopes = "openid profile email offline_access";

}  // namespace

SignInFlow::SignInFlow(ServiceConfig config, std::chrono::minutes timeout)
    : config_(std::move(config)),
      tokenEndpoint_(serviceAddress(config_.loginUrl, "oauth/token")),
      deadline_(std::chrono::steady_clock::now() + timeout),
      pkce_(makePkcePair()),
      state_(makeState()),
      listener_(kCallbackPath) {}

std::string SignInFlow::authorizationUrl() const {
  return config_.loginUrl + "authorize?" +
         buildQuery({{"response_type", "code"},
                     {"client_id", config_.clientId},
                     {"redirect_uri", listener_.redirectUri()},
                     {"code_challenge", pkce_.challenge},
                     {"code_challenge_method", "S256"},
                     {"state", state_},
                     {"audience", config_.audience},
                     {"scope", kScopes}});
}

NorvaneLocalAuthTokens SignInFlow::complete(HttpTransport& transport, const LibraryLog& log) {
  // The listener serves one waiter; a second would race it for the redirect.
  if (completing_.exchange(true)) throw SignInError("norvane: this sign-in is already being completed");
  log.info("waiting for the browser on 127.0.0.1:" + std::to_string(listener_.port()));
  std::optional<Redirect> redirect = listener_.waitForRedirect(deadline_, state_, cancelled_, log);
  if (!redirect) {
    if (replaced_.load()) throw SignInError("norvane: sign-in was replaced by a newer one");
    if (cancelled_.load()) throw SignInError("norvane: sign-in was cancelled");
    throw SignInError("norvane: sign-in timed out waiting for the browser");
  }
  const auto& query = redirect->query;
  if (const auto error = query.find("error"); error != query.end()) {
    respondToBrowser(redirect->browser, 400, "Sign-in failed. Please start again from Creo.");
    throw SignInError("norvane: sign-in failed at the identity provider: " + escapeControlCharacters(error->second));
  }
  const auto code = query.find("code");
  if (code == query.end() || code->second.empty()) {
    respondToBrowser(redirect->browser, 400, "Sign-in failed. Please start again from Creo.");
    throw SignInError("norvane: sign-in failed: the redirect carried no authorization code");
  }
  try {
    NorvaneLocalAuthTokens tokens = exchangeCode(code->second, transport, log);
    respondToBrowser(redirect->browser, 200, "You can return to Creo.");
    log.info("sign-in completed");
    return tokens;
  } catch (...) {
    respondToBrowser(redirect->browser, 400, "Sign-in failed. Please start again from Creo.");
    throw;
  }
}

NorvaneLocalAuthTokens SignInFlow::exchangeCode(const std::string& code, HttpTransport& transport,
                                                const LibraryLog& log) {
  HttpRequest request;
  request.method = "POST";
  request.url = tokenEndpoint_;
  request.contentType = "application/x-www-form-urlencoded";
  request.body = buildQuery({{"grant_type", "authorization_code"},
                             {"code", code},
                             {"code_verifier", pkce_.verifier},
                             {"redirect_uri", listener_.redirectUri()},
                             {"client_id", config_.clientId}});
  log.debug("POST " + request.url.target);
  const HttpResponse response = transport.send(request);
  const nlohmann::json answer = parseAnswer(response.body);
  if (response.status != 200) {
    std::string reason = "HTTP " + std::to_string(response.status);
    if (answer.is_object() && answer.contains("error") && answer["error"].is_string()) {
      reason = escapeControlCharacters(answer["error"].get<std::string>()) + ", " + reason;
    }
    log.warning("the token endpoint refused the authorization code (" + reason + ")");
    throw SignInError("norvane: sign-in failed: the authorization code was refused (" + reason + ")");
  }
  if (!answer.is_object() || !answer.contains("access_token") || !answer["access_token"].is_string()) {
    throw SignInError("norvane: sign-in failed: the token endpoint's answer holds no access token");
  }
  auto text = [&](const char* key) {
    return answer.contains(key) && answer[key].is_string() ? answer[key].get<std::string>() : std::string();
  };
  return NorvaneLocalAuthTokens{text("access_token"), text("refresh_token"), text("id_token")};
}

}  // namespace norvane
