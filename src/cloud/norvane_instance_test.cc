// The add-in's client as Creo would use it: the real client library, pointed
// at the local service through "tavix.properties", with a scripted browser.
#include <fstream>
#include <future>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cloud/cloud_connection.h"
#include "cloud/session_functions.h"
#include "core/log.h"
#include "core/properties.h"
#include "core/property_log_level.h"
#include "core/testing/log_capture.h"
#include "local_service.h"
#include "scripted_browser.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

void loadProperties(const LogCapture& log, const std::string& text) {
  std::ofstream(log.directory() / "tavix.properties") << "tavix_creo_log_level=debug\n" << text;
  TavixProperties::load(log.directory() / "elsewhere" / "tavix.properties");
  applyPropertyLogLevel();
}

TEST(CloudClient, SignsInThroughTheLibraryAndNeverLogsASecret) {
  LogCapture log;
  tavixtest::LocalTavixService service;
  CloudConnection cloud(makeLibraryClient);

  // An insecure identity provider is refused, nothing stays published, and a
  // corrected configuration works on the next request.
  loadProperties(log, "tavix_creo_login_url=http://login.tavix.example/\n");
  EXPECT_THROW(getNorvaneClient(), std::runtime_error);
  EXPECT_EQ(peekNorvaneClient(), nullptr);

  loadProperties(log, "tavix_creo_login_url=" + service.baseUrl() + "\ntavix_creo_server_url=" + service.baseUrl() +
                          "\ntavix_creo_client_id=" + tavixtest::kLocalClientId + "\ntavix_creo_auth_timeout=2\n");
  const auto client = getNorvaneClient();
  EXPECT_EQ(getNorvaneClient(), client);
  EXPECT_EQ(peekNorvaneClient(), client);

  const std::string authorizeUrl = client->localAuthFlowAuthorize();
  auto completion = std::async(std::launch::async, [client] { return client->localAuthFlowComplete(); });
  tavixtest::ScriptedBrowser browser;
  const auto answer = browser.submitSignIn(browser.get(authorizeUrl), tavixtest::kDemoEmail, tavixtest::kDemoPassword);
  browser.get(answer.location);
  const NorvaneLocalAuthTokens tokens = completion.get();
  getSessionManager().setTokens(tokens);
  EXPECT_EQ(fetchUserWithToken(*getNorvaneClient(), getSessionManager(), tokens)->email, tavixtest::kDemoEmail);

  service.expireTokens();
  try {
    fetchWorkspaces(*getNorvaneClient(), getSessionManager());
    ADD_FAILURE() << "an expired token was accepted";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "norvane: access token expired (HTTP 401)");
  }

  const std::string text = log.text();
  EXPECT_THAT(text, HasSubstr("[norvane] sign-in completed"));
  EXPECT_THAT(text, HasSubstr("] [DEBUG] [norvane] GET /api/v1/me"));
  const std::string code = answer.location.substr(answer.location.find("code=") + 5,
                                                  answer.location.find('&') - answer.location.find("code=") - 5);
  for (const std::string& secret : {tokens.accessToken, tokens.secondToken, tokens.thirdToken, code}) {
    ASSERT_FALSE(secret.empty());
    EXPECT_THAT(text, Not(HasSubstr(secret)));
  }
}

}  // namespace
