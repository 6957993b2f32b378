#include "local_service.h"

#include <stdexcept>

#include "scripted_browser.h"

namespace tavixtest {

std::string LocalTavixService::control(const std::string& method, const std::string& pathAndQuery) {
  const BrowserPage answer =
      httpExchange(baseUrl_ + pathAndQuery.substr(1), {method, {{"X-Tavix-Control-Secret", controlSecret_}}, {}, {}});
  if (answer.status == 0) throw std::runtime_error("tavix-service does not answer " + pathAndQuery);
  if (answer.status != 200)
    throw std::runtime_error("tavix-service refused " + pathAndQuery + ": " + std::to_string(answer.status) + " " +
                             answer.body);
  return answer.body;
}

void LocalTavixService::expireTokens() { control("POST", "/_control/expire-tokens"); }

void LocalTavixService::removeWorkspace(int64_t id) {
  control("POST", "/_control/remove-workspace?id=" + std::to_string(id));
}

void LocalTavixService::failNext(int count, int status, const std::string& call) {
  control("POST", "/_control/fail-next?count=" + std::to_string(count) + "&status=" + std::to_string(status) +
                      (call.empty() ? "" : "&call=" + call));
}

void LocalTavixService::holdNext(const std::string& call, int ms) {
  control("POST", "/_control/hold-next?call=" + call + "&ms=" + std::to_string(ms));
}

void LocalTavixService::breakNextFile(const std::string& how, int64_t afterBytes) {
  control("POST", "/_control/break-next-file?how=" + how + "&after=" + std::to_string(afterBytes));
}

void LocalTavixService::setDelay(int ms) { control("POST", "/_control/delay?ms=" + std::to_string(ms)); }

nlohmann::json LocalTavixService::issueTokens(const std::string& email, const std::string& password) {
  // The example pair of RFC 7636, appendix B.
  const std::string verifier = "dBjftJeZ4CVP-mB92K27uhbUJU1p1r_wW1gFWFOEjXk";
  const std::string challenge = "E9Melhoa2OwvFrEMTJguCHaoeK1t8URWbuGJSstw-cM";
  const std::string redirectUri = "http://127.0.0.1:9/callback";
  ScriptedBrowser browser;
  BrowserPage form = browser.get(baseUrl_ + "authorize?response_type=code&client_id=" + kLocalClientId +
                                 "&redirect_uri=" + formEncode(redirectUri) +
                                 "&code_challenge=" + challenge + "&code_challenge_method=S256&state=s");
  BrowserPage redirect = browser.submitSignIn(form, email, password);
  size_t code = redirect.location.find("code=");
  if (redirect.status != 302 || code == std::string::npos)
    throw std::runtime_error("sign-in as " + email + " refused: " + std::to_string(redirect.status) + " " + redirect.body);
  std::string codeValue = redirect.location.substr(code + 5, redirect.location.find('&', code) - code - 5);
  const std::string tokenRequest = "grant_type=authorization_code&code=" + formEncode(codeValue) +
                                   "&code_verifier=" + verifier + "&redirect_uri=" + formEncode(redirectUri) +
                                   "&client_id=" + kLocalClientId;
  const BrowserPage answer =
      httpExchange(baseUrl_ + "oauth/token", {"POST", {}, "application/x-www-form-urlencoded", tokenRequest});
  if (answer.status != 200)
    throw std::runtime_error("token exchange refused: " + (answer.status ? answer.body : std::string("no answer")));
  return nlohmann::json::parse(answer.body);
}

nlohmann::json LocalTavixService::storedFiles() { return nlohmann::json::parse(control("GET", "/_control/files")); }

}  // namespace tavixtest
