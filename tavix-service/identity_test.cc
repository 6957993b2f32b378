// Sign-in against the running service: what a client, a browser and an attacker see.
#include <gtest/gtest.h>
#include <httplib.h>

#include <thread>

#include "local_service.h"
#include "scripted_browser.h"

namespace {

using tavixtest::BrowserPage;
using tavixtest::LocalTavixService;
using tavixtest::ScriptedBrowser;

// RFC 7636, appendix B.
const std::string kVerifier = "dBjftJeZ4CVP-mB92K27uhbUJU1p1r_wW1gFWFOEjXk";
const std::string kChallenge = "E9Melhoa2OwvFrEMTJguCHaoeK1t8URWbuGJSstw-cM";

std::string authorizeUrl(const LocalTavixService& service, const std::string& redirectUri,
                         const std::string& clientId = tavixtest::kLocalClientId,
                         const std::string& challenge = kChallenge, const std::string& method = "S256") {
  return service.baseUrl() + "authorize?response_type=code&client_id=" + clientId +
         "&redirect_uri=" + httplib::detail::encode_query_param(redirectUri) + "&code_challenge=" + challenge +
         "&code_challenge_method=" + method + "&state=" + httplib::detail::encode_query_param("st<\"&>") +
         "&audience=https%3A%2F%2Fapi.example%2Fapi%2Fv2%2F&scope=openid%20profile%20email%20offline_access";
}

std::string codeFrom(const std::string& location) {
  auto at = location.find("code=");
  return location.substr(at + 5, location.find('&', at) - at - 5);
}

httplib::Result exchange(const LocalTavixService& service, const std::string& code, const std::string& verifier,
                         const std::string& redirectUri) {
  httplib::Client client("127.0.0.1", service.port());
  return client.Post("/oauth/token", httplib::Params{{"grant_type", "authorization_code"},
                                                     {"code", code},
                                                     {"code_verifier", verifier},
                                                     {"redirect_uri", redirectUri},
                                                     {"client_id", tavixtest::kLocalClientId}});
}

std::string signInForCode(const LocalTavixService& service, const std::string& redirectUri) {
  ScriptedBrowser browser;
  BrowserPage redirect = browser.submitSignIn(browser.get(authorizeUrl(service, redirectUri)), tavixtest::kDemoEmail,
                                              tavixtest::kDemoPassword);
  EXPECT_EQ(redirect.status, 302);
  return codeFrom(redirect.location);
}

TEST(ServiceSignIn, RefusesRequestsThatCouldLeakACode) {
  LocalTavixService service;
  ScriptedBrowser browser;
  for (const std::string redirect : {"http://evil.example:8080/callback", "https://127.0.0.1:8080/callback",
                                     "http://127.0.0.1.evil.example:80/cb", "http://127.0.0.1:80@evil.example/cb",
                                     "http://127.0.0.1/callback", "http://localhost:99999/cb",
                                     "http://127.0.0.1:8080/cb#fragment"}) {
    BrowserPage page = browser.get(authorizeUrl(service, redirect));
    EXPECT_EQ(page.status, 400) << redirect;
    EXPECT_NE(page.body.find("redirect_uri must be"), std::string::npos) << redirect;
  }
  EXPECT_EQ(browser.get(authorizeUrl(service, "http://127.0.0.1:8080/cb", "SomeOtherClient")).status, 400);
  EXPECT_EQ(browser.get(authorizeUrl(service, "http://127.0.0.1:8080/cb", tavixtest::kLocalClientId, "")).status, 400);
  BrowserPage plain = browser.get(authorizeUrl(service, "http://127.0.0.1:8080/cb", tavixtest::kLocalClientId,
                                               kChallenge, "plain"));
  EXPECT_EQ(plain.status, 400);
  EXPECT_NE(plain.body.find("code_challenge_method must be S256"), std::string::npos);

  // A good request shows the form, with the state escaped rather than injected.
  BrowserPage form = browser.get(authorizeUrl(service, "http://localhost:8080/cb"));
  ASSERT_EQ(form.status, 200);
  EXPECT_NE(form.body.find("<form id=\"signin\" method=\"post\" action=\"/authorize\">"), std::string::npos);
  EXPECT_NE(form.body.find("value=\"st&lt;&quot;&amp;&gt;\""), std::string::npos);

  BrowserPage wrong = browser.submitSignIn(form, tavixtest::kDemoEmail, "not-the-password");
  EXPECT_EQ(wrong.status, 200);
  EXPECT_NE(wrong.body.find("Wrong email or password."), std::string::npos);
  EXPECT_EQ(browser.submitSignIn(form, "nobody@example.com", tavixtest::kDemoPassword).status, 200);

  BrowserPage redirect = browser.submitSignIn(form, tavixtest::kDemoEmail, tavixtest::kDemoPassword);
  EXPECT_EQ(redirect.status, 302);
  EXPECT_EQ(redirect.location.rfind("http://localhost:8080/cb?code=", 0), 0u) << redirect.location;
  EXPECT_NE(redirect.location.find("&state=st%3C%22%26%3E"), std::string::npos) << redirect.location;
}

TEST(ServiceSignIn, CodeIsOneTimeAndBoundToVerifierAndRedirect) {
  LocalTavixService service;
  const std::string redirect = "http://127.0.0.1:8080/callback";

  std::string code = signInForCode(service, redirect);
  auto wrongVerifier = exchange(service, code, std::string(43, 'a'), redirect);
  ASSERT_TRUE(wrongVerifier);
  EXPECT_EQ(wrongVerifier->status, 400);
  EXPECT_NE(wrongVerifier->body.find("\"invalid_grant\""), std::string::npos);
  // A guessed verifier burns the code: the right one is refused afterwards.
  EXPECT_EQ(exchange(service, code, kVerifier, redirect)->status, 400);

  code = signInForCode(service, redirect);
  EXPECT_EQ(exchange(service, code, kVerifier, "http://127.0.0.1:8081/callback")->status, 400);

  code = signInForCode(service, redirect);
  auto tokens = exchange(service, code, kVerifier, redirect);
  ASSERT_EQ(tokens->status, 200) << tokens->body;
  auto body = nlohmann::json::parse(tokens->body);
  EXPECT_EQ(body["token_type"], "Bearer");
  EXPECT_GT(body["expires_in"].get<int>(), 0);
  EXPECT_FALSE(body["access_token"].get<std::string>().empty());
  EXPECT_FALSE(body["refresh_token"].get<std::string>().empty());
  std::string idToken = body["id_token"];
  EXPECT_EQ(std::count(idToken.begin(), idToken.end(), '.'), 2);
  auto reused = exchange(service, code, kVerifier, redirect);
  EXPECT_EQ(reused->status, 400);
  EXPECT_NE(reused->body.find("already used"), std::string::npos);

  // Neither codes nor tokens reach the service's output. A request's line is
  // printed after its answer is sent, so it may arrive a moment later.
  std::string printed = service.output();
  for (int wait = 0; wait < 100 && printed.find("POST /oauth/token 200") == std::string::npos; ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    printed = service.output();
  }
  EXPECT_EQ(printed.find(code), std::string::npos);
  EXPECT_EQ(printed.find(body["access_token"].get<std::string>()), std::string::npos);
  EXPECT_NE(printed.find("POST /oauth/token 200"), std::string::npos);
}

TEST(ServiceSignIn, ExpiredCodeIsRefused) {
  LocalTavixService service(std::nullopt, {"--code-lifetime", "1"});
  std::string code = signInForCode(service, "http://127.0.0.1:8080/cb");
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  auto late = exchange(service, code, kVerifier, "http://127.0.0.1:8080/cb");
  EXPECT_EQ(late->status, 400);
  EXPECT_NE(late->body.find("expired"), std::string::npos);
}

TEST(ServiceSignIn, LogoutPageSaysSoAndOffersNoAddressItWasGiven) {
  LocalTavixService service;
  BrowserPage logout = ScriptedBrowser().get(service.baseUrl() + "v2/logout?client_id=x&returnTo=" +
                                             httplib::detail::encode_query_param("javascript:alert(1)"));
  EXPECT_EQ(logout.status, 200);
  EXPECT_NE(logout.body.find("You have been signed out."), std::string::npos);
  EXPECT_EQ(logout.body.find("javascript:"), std::string::npos);
}

}  // namespace
