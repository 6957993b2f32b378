// The add-in's cloud session: environments and overrides from
// "tavix.properties", the sign-in time limit, and the session manager with
// the functions that fetch through it. The log file is what is checked.
#include <algorithm>
#include <atomic>
#include <fstream>
#include <regex>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cloud/cloud_connection.h"
#include "cloud/environments.h"
#include "cloud/norvane_instance.h"
#include "cloud/session_functions.h"
#include "cloud/testing/null_norvane_client.h"
#include "core/log.h"
#include "core/properties.h"
#include "core/property_log_level.h"
#include "core/testing/log_capture.h"
#include "norvane/errors.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A working directory of its own with the given "tavix.properties" loaded and
// debug logging on, so every line the session writes can be read back.
class PropertiesScope {
 public:
  explicit PropertiesScope(const std::string& properties) {
    std::ofstream(log_.directory() / "tavix.properties") << "tavix_creo_log_level=debug\n" << properties;
    TavixProperties::load(log_.directory() / "elsewhere" / "tavix.properties");
    applyPropertyLogLevel();
  }
  // The log messages (level and text, no timestamp) that contain `marker`.
  std::vector<std::string> messagesWith(const std::string& marker) const {
    std::vector<std::string> found;
    for (const auto& message : log_.messages()) {
      if (message.find(marker) != std::string::npos) found.push_back(message);
    }
    return found;
  }

 private:
  LogCapture log_;
};

class FakeNorvaneClient : public NullNorvaneClient {
 public:
  std::vector<NorvaneWorkspace> listWorkspaces(const std::string&, const std::string& filter) override {
    lastFilter = filter;
    return {{1, "Bracket Team", "bracket"}, {2, "Gearbox", "gearbox"}};
  }
  NorvaneUser getCurrentUser(const std::string& accessToken) override {
    ++userFetches;
    if (failUserFetch) throw std::runtime_error("norvane: access token expired (HTTP 401)");
    return {7, "engineer@example.com", "Fetched with " + accessToken};
  }
  NorvaneDirectory getRootDirectory(const std::string&, int64_t workspaceId) override {
    return {workspaceId * 10, "root"};
  }

  std::atomic<int> userFetches{0};
  bool failUserFetch = false;
  std::string lastFilter = "(not called)";
};

// A connection over a fake client, signed out.
struct FakeSession {
  std::shared_ptr<FakeNorvaneClient> fake = std::make_shared<FakeNorvaneClient>();
  CloudConnection cloud{[client = fake] { return client; }};
};

TEST(CloudEnvironment, ServerValueSelectsTheEnvironmentWhateverItsCase) {
  struct Case {
    std::string value;
    ServiceEnvironment expected;
    std::vector<std::string> messages;
  };
  const std::vector<Case> cases = {
      {"STAGING", ServiceEnvironment::Stage, {"[INFO] [Tavix] NorvaneInstance: server=stage"}},
      {"Us_Prod", ServiceEnvironment::UsProd, {"[INFO] [Tavix] NorvaneInstance: server=us_prod"}},
      {"us_Staging", ServiceEnvironment::UsStage, {"[INFO] [Tavix] NorvaneInstance: server=us_stage"}},
      {"Production", ServiceEnvironment::Prod,
       {"[WARNING] [Tavix] NorvaneInstance: unknown server value \"production\", defaulting to prod."}},
      {"prod", ServiceEnvironment::Prod, {}},
      {"", ServiceEnvironment::Prod, {}},
  };
  for (const auto& c : cases) {
    PropertiesScope scope(c.value.empty() ? "" : "tavix_creo_server=" + c.value + "\n");
    EXPECT_EQ(selectEnvironment(), environmentConfig(c.expected)) << c.value;
    EXPECT_EQ(scope.messagesWith("NorvaneInstance"), c.messages) << c.value;
  }
}

TEST(CloudEnvironment, OverridesReplaceOnlyTheMembersGiven) {
  {
    PropertiesScope scope("tavix_creo_server=us_stage\ntavix_creo_client_id=LocalClient\n");
    nlohmann::json expected = environmentConfig(ServiceEnvironment::UsStage);
    expected["ClientID"] = "LocalClient";
    EXPECT_EQ(selectEnvironment(), expected);
    EXPECT_THAT(scope.messagesWith("overriding"),
                ElementsAre("[INFO] [Tavix] NorvaneInstance: overriding ClientID from properties."));
  }
  {
    PropertiesScope scope(
        "tavix_creo_audience=aud\ntavix_creo_server_url=http://127.0.0.1:8080/\n"
        "tavix_creo_login_url=http://127.0.0.1:8080/\ntavix_creo_client_id=id\n");
    EXPECT_EQ(selectEnvironment(), nlohmann::json({{"LoginURL", "http://127.0.0.1:8080/"},
                                                   {"ServerURL", "http://127.0.0.1:8080/"},
                                                   {"ClientID", "id"},
                                                   {"Audience", "aud"}}));
    EXPECT_THAT(scope.messagesWith("overriding"),
                ElementsAre("[INFO] [Tavix] NorvaneInstance: overriding LoginURL from properties.",
                            "[INFO] [Tavix] NorvaneInstance: overriding ServerURL from properties.",
                            "[INFO] [Tavix] NorvaneInstance: overriding ClientID from properties.",
                            "[INFO] [Tavix] NorvaneInstance: overriding Audience from properties."));
  }
}

// std::regex: GoogleTest's own matcher has no character classes on Windows.
bool matches(const nlohmann::json& text, const char* pattern) {
  return std::regex_match(text.get<std::string>(), std::regex(pattern));
}

TEST(CloudEnvironment, BuiltInEnvironmentsAreSecureAndTheOptionsNameTheIntegration) {
  for (auto environment : {ServiceEnvironment::Prod, ServiceEnvironment::UsProd, ServiceEnvironment::Stage,
                           ServiceEnvironment::UsStage}) {
    const nlohmann::json config = environmentConfig(environment);
    for (const char* member : {"LoginURL", "ServerURL", "Audience"}) {
      EXPECT_TRUE(matches(config[member], "https://[a-z.-]+\\.tavix\\.example/.*")) << config[member];
    }
    EXPECT_THAT(config["Audience"].get<std::string>(), ::testing::EndsWith("/api/v2/"));
    EXPECT_TRUE(matches(config["ClientID"], "[A-Za-z0-9]{32}")) << config["ClientID"];
  }

  PropertiesScope scope("tavix_creo_server=stage\n");
  const norvane::NorvaneInitializeOptions options = buildInitializeOptions();
  EXPECT_EQ(options.logFileName, "ostrel-integration.log");
  EXPECT_EQ(options.logLevel, "debug");
  EXPECT_EQ(options.environmentConfig, environmentConfig(ServiceEnvironment::Stage));
  EXPECT_EQ(options.integrationVersions, (std::map<std::string, std::string>{{"tavix-creo", "1.0.0"}}));
  EXPECT_FALSE(options.enableTelemetry || options.enableCrashReports || options.offline);
}

TEST(CloudAuthTimeout, OnlyWholeMinutesFromOneToThirtyOverride) {
  for (const auto& [value, minutes] : std::vector<std::pair<std::string, int64_t>>{{"30", 30}, {"+5", 5}, {"05", 5}, {"1", 1}}) {
    PropertiesScope scope("tavix_creo_auth_timeout=" + value + "\n");
    int64_t read = 0;
    EXPECT_TRUE(readAuthTimeoutOverride(read)) << value;
    EXPECT_EQ(read, minutes) << value;
    EXPECT_THAT(scope.messagesWith("NorvaneInstance"),
                ElementsAre("[INFO] [Tavix] NorvaneInstance: local auth timeout override=" + std::to_string(minutes) +
                            " minute(s)."));
  }
  for (const std::string value : {"0", "31", "-1", "5min", "2.5", "abc", "99999999999999999999"}) {
    PropertiesScope scope("tavix_creo_auth_timeout=" + value + "\n");
    int64_t read = 0;
    EXPECT_FALSE(readAuthTimeoutOverride(read)) << value;
    EXPECT_THAT(scope.messagesWith("NorvaneInstance"),
                ElementsAre("[WARNING] [Tavix] NorvaneInstance: invalid value for tavix_creo_auth_timeout=\"" + value +
                            "\"; expected an integer between 1 and 30 minutes."));
  }
  PropertiesScope scope("");
  int64_t read = 0;
  EXPECT_FALSE(readAuthTimeoutOverride(read));
  EXPECT_THAT(scope.messagesWith("NorvaneInstance"), IsEmpty());
}

TEST(CloudSession, UserIsFetchedOnceAndSurvivesNewTokensButNotAFailure) {
  PropertiesScope scope("");
  FakeSession session;
  getSessionManager().setTokens({"first", "", ""});
  EXPECT_EQ(getCurrentUserCachedOrFetched(*getNorvaneClient(), getSessionManager())->name, "Fetched with first");
  getSessionManager().setTokens({"second", "", ""});
  EXPECT_EQ(getCurrentUserCachedOrFetched(*getNorvaneClient(), getSessionManager())->name, "Fetched with first");
  EXPECT_EQ(session.fake->userFetches, 1);
  EXPECT_THAT(scope.messagesWith("current user."),
              ElementsAre("[DEBUG] [Tavix] Fetching current user.", "[DEBUG] [Tavix] Using cached current user."));

  session.fake->failUserFetch = true;
  EXPECT_THROW(fetchUserWithToken(*getNorvaneClient(), getSessionManager(), {"second", "", ""}), std::runtime_error);
  EXPECT_EQ(getSessionManager().getCachedUser()->name, "Fetched with first");

  EXPECT_EQ(fetchWorkspaces(*getNorvaneClient(), getSessionManager())->at(1).name, "Gearbox");
  EXPECT_EQ(session.fake->lastFilter, "");
  EXPECT_EQ(fetchRootDirectory(*getNorvaneClient(), getSessionManager(), 2)->id, 20);
}

TEST(CloudSession, ClearSignsOutAndEveryFetchSaysWhyItHasNothing) {
  PropertiesScope scope("");
  FakeSession session;
  getSessionManager().setTokens({"access", "refresh", "id"});
  getSessionManager().setCurrentUser({1, "a@example.com", "A"});
  getSessionManager().clear();
  EXPECT_EQ(getSessionManager().getTokens(), nullptr);
  EXPECT_EQ(getSessionManager().getCachedUser(), nullptr);
  EXPECT_EQ(getSessionManager().getAccessToken(), "");
  EXPECT_EQ(getCurrentUserCachedOrFetched(*getNorvaneClient(), getSessionManager()), std::nullopt);
  EXPECT_EQ(fetchWorkspaces(*getNorvaneClient(), getSessionManager()), std::nullopt);
  EXPECT_EQ(fetchRootDirectory(*getNorvaneClient(), getSessionManager(), 1), std::nullopt);
  EXPECT_THAT(scope.messagesWith("No auth tokens"),
              ElementsAre("[ERROR] [Tavix] No auth tokens available for user fetch.",
                          "[ERROR] [Tavix] No auth tokens available for workspace fetch.",
                          "[ERROR] [Tavix] No auth tokens available for root directory fetch."));
  EXPECT_EQ(session.fake->userFetches, 0);
}

// The sign-in thread stores while the UI thread keeps reading; every read
// must see a whole record, never a mix of two.
TEST(CloudSession, SignInThreadStoresWhileTheUIThreadReads) {
  PropertiesScope scope("tavix_creo_log_level=error\n");
  FakeSession session;
  constexpr int kRounds = 2000;
  std::thread signInThread([&] {
    for (int i = 0; i < kRounds; ++i) {
      const std::string n = std::to_string(i);
      getSessionManager().setTokens({"access-" + n, "refresh-" + n, "id-" + n});
      fetchUserWithToken(*getNorvaneClient(), getSessionManager(), {"access-" + n, "", ""});
    }
  });
  for (int i = 0; i < kRounds; ++i) {
    if (const auto tokens = getSessionManager().getTokens()) {
      const std::string n = tokens->accessToken.substr(7);
      EXPECT_EQ(tokens->secondToken, "refresh-" + n);
      EXPECT_EQ(tokens->thirdToken, "id-" + n);
    }
    if (const auto user = getSessionManager().getCachedUser()) {
      EXPECT_EQ(user->name.rfind("Fetched with access-", 0), 0u);
    }
    getSessionManager().hasTokens();
  }
  signInThread.join();
  EXPECT_EQ(getSessionManager().getAccessToken(), "access-" + std::to_string(kRounds - 1));
  EXPECT_EQ(getSessionManager().getCachedUser()->name, "Fetched with access-" + std::to_string(kRounds - 1));
  EXPECT_EQ(session.fake->userFetches, kRounds);
}

}  // namespace

// The add-in cannot catch the library's exception classes by type across the
// delay-loaded import: the library itself tells a refused token apart.
TEST(CloudSession, TheLibraryTellsARefusedTokenFromItsOtherFailures) {
  PropertiesScope scope("tavix_creo_login_url=http://127.0.0.1:9/\ntavix_creo_server_url=http://127.0.0.1:9/\n"
                        "tavix_creo_client_id=c\n");
  const std::shared_ptr<norvane::NorvaneClient> client = createNorvaneInstance();
  const auto refusal = [&](const std::string& token) {
    try {
      client->getCurrentUser(token);
    } catch (const std::exception& e) {
      return std::string(norvane::isAuthorizationRefused(e) ? "refused: " : "other: ") + e.what();
    }
    return std::string("no failure");
  };
  EXPECT_EQ(refusal(""), "refused: norvane: no access token given; sign in first");
  EXPECT_THAT(refusal("token"), ::testing::StartsWith("other: "));  // nothing listens on port 9
  EXPECT_FALSE(norvane::isAuthorizationRefused(std::runtime_error("norvane: access token expired (HTTP 401)")));
}
