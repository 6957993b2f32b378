// The library against the real local service, with a scripted browser in the
// user's place. The same cases run on Linux and, for the Windows build, under
// wine against the Linux service (wine_journey_tests starts it for each case).
#include <atomic>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <mutex>
#include <random>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "crypto.h"
#include "local_service.h"
#include "norvane/errors.h"
#include "norvane/norvane.h"
#include "scripted_browser.h"
#include "self_signed_server.h"
#include "test_socket.h"

namespace {

using namespace norvane;
using namespace std::chrono_literals;
using tavixtest::TestSocket;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class RecordingLogger : public INorvaneLogger {
 public:
  void debug(const char* message) override { add(message); }
  void info(const char* message) override { add(message); }
  void warning(const char* message) override { add(message); }
  void error(const char* message) override { add(message); }
  std::vector<std::string> lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
  }
  // Fails the test when any line holds one of the secrets.
  void expectNoneOf(const std::vector<std::string>& secrets) const {
    for (const auto& line : lines()) {
      EXPECT_THAT(line, StartsWith("[norvane] "));
      for (const auto& secret : secrets) {
        if (secret.empty()) continue;
        EXPECT_THAT(line, ::testing::Not(HasSubstr(secret))) << "a secret reached the log";
      }
    }
  }

 private:
  void add(const char* message) {
    std::lock_guard lock(mutex_);
    lines_.emplace_back(message);
  }
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
};

std::string queryValue(const std::string& url, const std::string& key) {
  const size_t start = url.find(key + "=");
  if (start == std::string::npos) return {};
  const size_t valueStart = start + key.size() + 1;
  return url.substr(valueStart, url.find('&', valueStart) - valueStart);
}

struct Connected {
  explicit Connected(const std::string& loginUrl, const std::string& serverUrl = "")
      : logger(std::make_shared<RecordingLogger>()),
        client(std::make_shared<DynamicNorvaneBridge>(""), logger) {
    NorvaneInitializeOptions options;
    options.logLevel = "debug";
    options.environmentConfig = {{"LoginURL", loginUrl},
                                 {"ServerURL", serverUrl.empty() ? loginUrl : serverUrl},
                                 {"ClientID", tavixtest::kLocalClientId},
                                 {"Audience", "https://tavix.example/api/v2/"}};
    options.integrationVersions = {{"tavix-creo", "1.0.0"}};
    client.initialize(options);
  }
  std::shared_ptr<RecordingLogger> logger;
  NorvaneClient client;
};

// What the browser saw on the way, so tests can look for it in the log.
struct SignedIn {
  NorvaneLocalAuthTokens tokens;
  std::string authorizeUrl, code, state, finalPage;
};

SignedIn signIn(NorvaneClient& client) {
  SignedIn result;
  result.authorizeUrl = client.localAuthFlowAuthorize();
  auto completion = std::async(std::launch::async, [&] { return client.localAuthFlowComplete(); });
  // The browser follows the redirect to the library's listener.
  const auto landed = tavixtest::ScriptedBrowser().signIn(result.authorizeUrl, tavixtest::kDemoEmail, tavixtest::kDemoPassword);
  result.code = queryValue(landed.url, "code");
  result.state = queryValue(landed.url, "state");
  result.finalPage = landed.body;
  result.tokens = completion.get();
  return result;
}

std::filesystem::path writeFile(const std::filesystem::path& folder, const std::string& name, size_t size) {
  std::mt19937 random(static_cast<unsigned>(size));
  std::string bytes(size, '\0');
  for (auto& byte : bytes) byte = static_cast<char>(random());
  std::ofstream(folder / name, std::ios::binary) << bytes;
  return folder / name;
}

std::string sha256Hex(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string hex;
  for (unsigned char byte : norvane::sha256(std::string(std::istreambuf_iterator<char>(in), {})))
    hex += {"0123456789abcdef"[byte >> 4], "0123456789abcdef"[byte & 15]};
  return hex;
}

// A folder of its own for a test's files, removed with everything in it.
struct TempFolder {
  explicit TempFolder(const std::string& prefix)
      : path(std::filesystem::temp_directory_path() / (prefix + std::to_string(std::random_device()()))) {
    std::filesystem::create_directories(path);
  }
  ~TempFolder() { std::filesystem::remove_all(path); }
  std::filesystem::path path;
};

template <typename Call>
std::string failureOf(Call call) {
  try {
    call();
  } catch (const std::runtime_error& error) {
    return error.what();
  }
  return "(no exception)";
}

// Whether the call failed with what the library calls a refused authorization.
template <class Call>
bool refusesAuthorization(Call call) {
  try {
    call();
  } catch (const std::exception& error) {
    return isAuthorizationRefused(error);
  }
  return false;
}

TEST(NorvaneSignIn, BrowserSignInGivesTokensAndTheServiceAnswersWithThem) {
  tavixtest::LocalTavixService service;
  Connected connected(service.baseUrl());
  const SignedIn signedIn = signIn(connected.client);

  EXPECT_THAT(signedIn.authorizeUrl, StartsWith(service.baseUrl() + "authorize?"));
  EXPECT_EQ(queryValue(signedIn.authorizeUrl, "code_challenge_method"), "S256");
  EXPECT_EQ(queryValue(signedIn.authorizeUrl, "client_id"), tavixtest::kLocalClientId);
  EXPECT_THAT(queryValue(signedIn.authorizeUrl, "redirect_uri"), StartsWith("http%3A%2F%2F127.0.0.1%3A"));
  EXPECT_EQ(queryValue(signedIn.authorizeUrl, "code_challenge").size(), 43u);
  EXPECT_THAT(signedIn.finalPage, HasSubstr("You can return to Creo."));
  EXPECT_FALSE(signedIn.code.empty());
  EXPECT_FALSE(signedIn.state.empty());
  EXPECT_FALSE(signedIn.tokens.accessToken.empty());
  EXPECT_FALSE(signedIn.tokens.secondToken.empty());

  const NorvaneUser user = connected.client.getCurrentUser(signedIn.tokens.accessToken);
  EXPECT_EQ(user.email, tavixtest::kDemoEmail);
  EXPECT_EQ(user.name, tavixtest::kDemoName);
  const auto workspaces = connected.client.listWorkspaces(signedIn.tokens.accessToken, "");
  ASSERT_EQ(workspaces.size(), 2u);
  EXPECT_EQ(workspaces[0].name, "Bracket Team");
  EXPECT_EQ(workspaces[1].name, "Gearbox");
  EXPECT_FALSE(workspaces[0].addressKey.empty());
  const NorvaneDirectory root = connected.client.getRootDirectory(signedIn.tokens.accessToken, workspaces[1].id);
  EXPECT_GT(root.id, 0);

  const std::string logout = connected.client.localAuthFlowLogout();
  EXPECT_THAT(logout, StartsWith(service.baseUrl() + "v2/logout?client_id=" + tavixtest::kLocalClientId +
                                 "&returnTo="));
  connected.logger->expectNoneOf({signedIn.tokens.accessToken, signedIn.tokens.secondToken,
                                  signedIn.tokens.thirdToken, signedIn.code, signedIn.state,
                                  queryValue(signedIn.authorizeUrl, "code_challenge"), "code_verifier"});
  EXPECT_FALSE(connected.logger->lines().empty());
}

// A connection to the listener's port on 127.0.0.1, made without waiting long.
TestSocket connectTo(int port) { return TestSocket::connectTo("127.0.0.1", port, 5s); }

// The status the listener answers to one raw request; 0 when it answers nothing.
int statusFor(int port, const std::string& target) {
  const TestSocket connection = connectTo(port);
  connection.sendAll("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
  char answer[64] = {};
  const size_t received = connection.receive(answer, sizeof answer - 1);
  return received > 12 ? std::atoi(answer + 9) : 0;
}

int listenerPort(const std::string& authorizeUrl) {
  const std::string redirect = queryValue(authorizeUrl, "redirect_uri");
  return std::stoi(redirect.substr(redirect.find("%3A", 10) + 3));
}

TEST(NorvaneSignIn, StrayAndHostileConnectionsDoNotStopTheSignIn) {
  tavixtest::LocalTavixService service;
  Connected connected(service.baseUrl());
  // A minute: enough for the browser, too short for silent connections served one at a time.
  const std::string authorizeUrl = connected.client.localAuthFlowAuthorizeWithTimeout(1);
  const int port = listenerPort(authorizeUrl);
  auto completion = std::async(std::launch::async, [&] { return connected.client.localAuthFlowComplete(); });

  std::vector<TestSocket> silent;
  for (int i = 0; i < 7; ++i) silent.push_back(connectTo(port));
  for (int i = 0; i < 3; ++i) connectTo(port);  // connect and hang up at once
  TestSocket halfRequest = connectTo(port);
  halfRequest.sendAll("GET /callback?state=");
  silent.push_back(std::move(halfRequest));

  // A page other than the callback, an old tab's redirect and one without state: refused, still waiting.
  EXPECT_EQ(statusFor(port, "/favicon.ico"), 404);
  EXPECT_EQ(statusFor(port, "/callback?code=old&state=from-an-old-tab"), 400);
  EXPECT_EQ(statusFor(port, "/callback?code=stray"), 400);

  tavixtest::ScriptedBrowser browser;
  const auto answer = browser.submitSignIn(browser.get(authorizeUrl), tavixtest::kDemoEmail, tavixtest::kDemoPassword);
  ASSERT_EQ(answer.status, 302);
  EXPECT_THAT(browser.get(answer.location).body, HasSubstr("You can return to Creo."));
  EXPECT_FALSE(completion.get().accessToken.empty());
  silent.clear();

  EXPECT_EQ(browser.get(answer.location).status, 0) << "the listener must be closed after the redirect";
  EXPECT_THAT(failureOf([&] { connected.client.localAuthFlowComplete(); }), HasSubstr("no sign-in in progress"));
  const auto lines = connected.logger->lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(),
                       "[norvane] ignored a sign-in redirect that did not carry this sign-in's state"), 2);
}

TEST(NorvaneSignIn, ListenerIsReachableOnLoopbackOnly) {
  tavixtest::LocalTavixService service;
  Connected connected(service.baseUrl());
  const std::string authorizeUrl = connected.client.localAuthFlowAuthorize();
  const int port = listenerPort(authorizeUrl);

  // Every non-loopback IPv4 address of this machine must refuse the port.
  const auto addresses = tavixtest::nonLoopbackIpv4Addresses();
  if (addresses.empty()) GTEST_SKIP() << "this machine has no non-loopback IPv4 address to try";
  for (const std::string& address : addresses) {
    EXPECT_FALSE(TestSocket::connectTo(address, port, 5s).isOpen()) << address << " reached the sign-in listener";
  }

  // The loopback address still completes the sign-in afterwards.
  auto completion = std::async(std::launch::async, [&] { return connected.client.localAuthFlowComplete(); });
  tavixtest::ScriptedBrowser browser;
  const auto page = browser.signIn(authorizeUrl, tavixtest::kDemoEmail, tavixtest::kDemoPassword);
  EXPECT_EQ(page.status, 200);
  EXPECT_FALSE(completion.get().accessToken.empty());
}

// Creo unloading the add-in, or the user starting over, while the browser is still open.
TEST(NorvaneSignIn, CancelEndsTheWaitAndClosesTheListener) {
  tavixtest::LocalTavixService service;
  Connected connected(service.baseUrl());
  const std::string authorizeUrl = connected.client.localAuthFlowAuthorize();
  const int port = listenerPort(authorizeUrl);
  auto completion = std::async(std::launch::async, [&] { return connected.client.localAuthFlowComplete(); });
  EXPECT_EQ(statusFor(port, "/favicon.ico"), 404);  // the listener is up
  connected.client.localAuthFlowCancel();
  EXPECT_EQ(failureOf([&] { completion.get(); }), "norvane: sign-in was cancelled");
  EXPECT_FALSE(connectTo(port).isOpen()) << "the listener must be closed after a cancel";
  const auto page = tavixtest::ScriptedBrowser().signIn(authorizeUrl, tavixtest::kDemoEmail, tavixtest::kDemoPassword);
  EXPECT_EQ(page.status, 0) << "the redirect must find nobody listening";
}

TEST(NorvaneService, FailuresSayWhatHappened) {
  tavixtest::LocalTavixService service;
  Connected connected(service.baseUrl());
  const std::string token = service.issueTokens().at("access_token").get<std::string>();
  const auto workspaces = connected.client.listWorkspaces(token, "");
  ASSERT_EQ(workspaces.size(), 2u);

  service.removeWorkspace(workspaces[0].id);
  EXPECT_EQ(failureOf([&] { connected.client.getRootDirectory(token, workspaces[0].id); }),
            "norvane: workspace " + std::to_string(workspaces[0].id) + " not found (HTTP 404)");

  service.failNext(1, 503);
  EXPECT_THAT(failureOf([&] { connected.client.getCurrentUser(token); }),
              StartsWith("norvane: server error (HTTP 503)"));
  EXPECT_EQ(failureOf([&] { connected.client.getCurrentUser(""); }), "norvane: no access token given; sign in first");
  EXPECT_EQ(failureOf([&] { connected.client.getCurrentUser("not-a-token"); }),
            "norvane: access token refused (HTTP 401)");

  // Only a refused token is one that signing in again mends.
  EXPECT_TRUE(refusesAuthorization([&] { connected.client.getCurrentUser("not-a-token"); }));
  EXPECT_TRUE(refusesAuthorization([&] { connected.client.listWorkspaces("", ""); }));
  service.failNext(1, 403);
  EXPECT_FALSE(refusesAuthorization([&] { connected.client.listWorkspaces(token, ""); }));
  service.failNext(1, 503);
  EXPECT_FALSE(refusesAuthorization([&] { connected.client.listWorkspaces(token, ""); }));
  EXPECT_FALSE(refusesAuthorization([&] { connected.client.getRootDirectory(token, workspaces[0].id); }));
  EXPECT_FALSE(isAuthorizationRefused(std::runtime_error("norvane: access token expired (HTTP 401)")));

  service.expireTokens();
  NorvaneUploadPayload payload;
  payload.targetDirectories[workspaces[1].id] = 1;
  payload.files.push_back({"part.prt", "/nonexistent/part.prt", "key", "1", {}});
  const std::vector<std::function<void()>> calls = {
      [&] { connected.client.getCurrentUser(token); },
      [&] { connected.client.listWorkspaces(token, ""); },
      [&] { connected.client.getRootDirectory(token, workspaces[1].id); },
      [&] { connected.client.findRevision(token, workspaces[1].id, "key", "1", "rev", "", false, true, false, true); },
  };
  for (const auto& call : calls) {
    EXPECT_EQ(failureOf(call), "norvane: access token expired (HTTP 401)");
    EXPECT_TRUE(refusesAuthorization(call));
  }
  EXPECT_THAT(failureOf([&] { connected.client.upload(token, payload, false); }),
              HasSubstr("cannot read file to upload: /nonexistent/part.prt"));
  connected.logger->expectNoneOf({token});
}

TEST(NorvaneService, RefusesPlainHttpOutsideLoopbackAndReportsAnUnreachableService) {
  const auto refused = [](const std::string& loginUrl, const std::string& serverUrl) {
    return failureOf([&] { Connected connected(loginUrl, serverUrl); });
  };
  EXPECT_THAT(refused("http://login.tavix.example/", "https://app.tavix.example/"),
              HasSubstr("refusing plain http to login.tavix.example"));
  EXPECT_THAT(refused("https://login.tavix.example/", "http://10.0.0.5:8080/"), HasSubstr("refusing plain http"));
  EXPECT_THAT(refused("https://login.tavix.example/", "ftp://app.tavix.example/"),
              HasSubstr("invalid service address"));
  EXPECT_EQ(refused("https://login.tavix.example/", "http://localhost:9/"), "(no exception)");
  EXPECT_EQ(refused("https://login.tavix.example/", "http://[::1]:9/"), "(no exception)");
  EXPECT_EQ(refused("https://login.tavix.example/", "http://127.0.0.1:9/"), "(no exception)");
  // The resolver reads these as other machines ("0127" is octal 87) or as names.
  for (const char* host : {"0127.0.0.1", "127.0.0.01", "127.1", "127.0.0.1.", "127.evil.example", "127.0.0.1x"}) {
    EXPECT_THAT(refused("https://login.tavix.example/", std::string("http://") + host + ":9/"),
                HasSubstr("refusing plain http")) << host;
  }

  // Hosts that are no host could not be written back into the same address.
  for (const char* address : {"https://[[]/", "https://[127.0.0.1]/", "https://[]:9/", "https://a]b/",
                              "https://app tavix.example/", "https://app\ttavix.example/"}) {
    EXPECT_THAT(refused("https://login.tavix.example/", address), HasSubstr("invalid service address")) << address;
  }

  // A port nobody listens on.
  const std::string base = "http://127.0.0.1:" + std::to_string(tavixtest::unusedLoopbackPort()) + "/";
  Connected connected(base);
  EXPECT_THAT(failureOf([&] { connected.client.getCurrentUser("token"); }),
              StartsWith("norvane: cannot connect to " + base));
}

// A server that answers every call with the same text.
class CannedServer {
 public:
  CannedServer(int status, std::string body)
      : listener_(TestSocket::listenOnLoopback()),
        answer_("HTTP/1.1 " + std::to_string(status) + " Canned\r\nContent-Type: application/json\r\n"
                "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body),
        thread_([this] { serve(); }) {}
  ~CannedServer() {
    stopping_ = true;
    thread_.join();
  }
  std::string url() const { return "http://127.0.0.1:" + std::to_string(listener_.localPort()) + "/"; }

 private:
  void serve() {
    while (!stopping_) {
      const TestSocket connection = listener_.accept(50ms);
      if (!connection.isOpen()) continue;
      connection.receiveHttpMessage();
      connection.sendAll(answer_);
    }
  }

  TestSocket listener_;
  std::string answer_;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

TEST(NorvaneService, DeeplyNestedAnswersAreUnreadableNotACrash) {
  const std::string deep = std::string(1000000, '[') + std::string(1000000, ']');
  CannedServer nested(200, R"({"id":1,"email":)" + deep + "}");
  Connected connected(nested.url());
  EXPECT_EQ(failureOf([&] { connected.client.getCurrentUser("token"); }),
            "norvane: unreadable answer from the service (HTTP 200)");

  CannedServer refusing(400, R"({"error":"x","message":)" + deep + "}");
  Connected refused(refusing.url());
  EXPECT_EQ(failureOf([&] { refused.client.getCurrentUser("token"); }), "norvane: request refused (HTTP 400)");
}

TEST(NorvaneService, TextFromOutsideReachesMessagesAndTheLogWithItsControlCharactersWrittenOut) {
  const std::string forged = "\r\n[ERROR] forged";
  const std::string shown = "\\r\\n[ERROR] forged";
  {
    CannedServer refusing(403, nlohmann::json{{"error", "forbidden"}, {"message", "no" + forged}}.dump());
    Connected connected(refusing.url());
    EXPECT_EQ(failureOf([&] { connected.client.getCurrentUser("token"); }),
              "norvane: access denied (HTTP 403): no" + shown);
  }
  // The identity provider's error, in the browser's redirect or from the token endpoint after it.
  CannedServer identityProvider(400, nlohmann::json{{"error", "invalid_grant" + forged}}.dump());
  Connected connected(identityProvider.url());
  const auto signInEndedBy = [&](const std::string& callback) {
    const std::string authorizeUrl = connected.client.localAuthFlowAuthorize();
    auto completion = std::async(std::launch::async, [&] { return connected.client.localAuthFlowComplete(); });
    EXPECT_EQ(statusFor(listenerPort(authorizeUrl), "/callback?state=" + queryValue(authorizeUrl, "state") + callback), 400);
    return failureOf([&] { completion.get(); });
  };
  EXPECT_EQ(signInEndedBy("&error=access_denied%0D%0A%5BERROR%5D%20forged"),
            "norvane: sign-in failed at the identity provider: access_denied" + shown);
  EXPECT_THAT(signInEndedBy("&code=c"), HasSubstr("(invalid_grant" + shown + ", HTTP 400)"));
  for (const auto& line : connected.logger->lines()) EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
}

TEST(NorvaneService, HttpsRefusesACertificateNoAuthoritySigned) {
  tavixtest::SelfSignedServer server;
  Connected connected(server.url());
  const std::string failure = failureOf([&] { connected.client.getCurrentUser("token"); });
  EXPECT_THAT(failure, StartsWith("norvane: cannot connect to " + server.url()));
  EXPECT_THAT(failure, HasSubstr("SSL"));
}

TEST(NorvaneUpload, FilesArriveWholeWithTheirAddresses) {
  tavixtest::LocalTavixService service;
  Connected connected(service.baseUrl());
  const std::string token = service.issueTokens().at("access_token").get<std::string>();
  const NorvaneWorkspace workspace = connected.client.listWorkspaces(token, "").at(0);
  const NorvaneDirectory root = connected.client.getRootDirectory(token, workspace.id);

  // A folder whose name is not ASCII: the path travels as UTF-8 and must reach the file.
  const TempFolder base("norvane-upload-");
  const auto folder = base.path / std::filesystem::path(u8"Baugruppe-\u00e4\u00f8");
  std::filesystem::create_directories(folder);
  NorvaneUploadPayload payload;
  payload.targetDirectories[workspace.id] = root.id;
  payload.sourceRevisionId = payload.revisionId = "rev-1";
  payload.sourceRevisionVersion = "A.1";
  payload.lastModified = "2026-12-06T08:00:00Z";
  payload.primaryName = "bracket.asm";
  const std::vector<std::pair<std::string, size_t>> files = {
      {"bracket.asm", 3 * 1024 * 1024 + 17}, {"empty.prt", 0}, {"bolt.prt", 1}, {"plate.prt", 256 * 1024}};
  for (const auto& [name, size] : files) {
    const std::u8string path = writeFile(folder, name, size).u8string();
    payload.files.push_back({name, std::string(path.begin(), path.end()), "key-" + name, "1", {}});
  }

  const NorvaneUploadResult result = connected.client.upload(token, payload, false);
  EXPECT_TRUE(result.errors.empty());
  ASSERT_EQ(result.fileUrls.size(), files.size());
  const std::string address = result.fileUrls.at("bracket.asm");
  EXPECT_THAT(address, StartsWith(service.baseUrl() + "workspace/" + workspace.addressKey + "/file/"));
  EXPECT_THAT(address, HasSubstr("?revisionId="));

  const nlohmann::json stored = service.storedFiles();
  for (const auto& [name, size] : files) {
    const auto entry = std::find_if(stored.begin(), stored.end(), [&](const auto& file) { return file.at("name") == name; });
    ASSERT_NE(entry, stored.end()) << name;
    EXPECT_EQ(entry->at("size").template get<size_t>(), size) << name;
    EXPECT_EQ(entry->at("sha256").template get<std::string>(), sha256Hex(folder / name)) << name;
  }
  EXPECT_FALSE(connected.client.findRevision(token, workspace.id, "key-bolt.prt", "A.1", "rev-1", "", false, true,
                                             false, true).empty());
  EXPECT_TRUE(connected.client.findRevision(token, workspace.id, "key-other.prt", "A.1", "rev-1", "", false, true,
                                            false, true).empty());
  connected.logger->expectNoneOf({token});
}

// A server error while the upload is created: nothing is stored, and the same
// payload sent again arrives once.
TEST(NorvaneUpload, AServerErrorStoresNothingAndTheRetryStoresEachFileOnce) {
  tavixtest::LocalTavixService service;
  Connected connected(service.baseUrl());
  const std::string token = service.issueTokens().at("access_token").get<std::string>();
  const NorvaneWorkspace workspace = connected.client.listWorkspaces(token, "").at(1);
  const TempFolder folder("norvane-retry-");
  NorvaneUploadPayload payload;
  payload.targetDirectories[workspace.id] = connected.client.getRootDirectory(token, workspace.id).id;
  payload.sourceRevisionId = payload.revisionId = "rev-7";
  for (const char* name : {"gear.prt", "shaft.prt"})
    payload.files.push_back({name, writeFile(folder.path, name, 70000).string(), std::string("key-") + name, "1", {}});

  service.failNext(1, 500);
  EXPECT_THAT(failureOf([&] { connected.client.upload(token, payload, false); }),
              StartsWith("norvane: server error (HTTP 500)"));
  EXPECT_TRUE(service.storedFiles().empty());
  const NorvaneUploadResult result = connected.client.upload(token, payload, false);
  EXPECT_TRUE(result.errors.empty());
  EXPECT_EQ(result.fileUrls.size(), 2u);
  const nlohmann::json stored = service.storedFiles();
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(stored[0]["workspace"], "Gearbox");
  EXPECT_EQ(stored[0]["sha256"], sha256Hex(folder.path / stored[0]["name"].get<std::string>()));
}

// Linux only: SIGPIPE, and a service this program starts itself (under wine
// the service is the one a Linux test started, without a seed of its own).
#if !defined(_WIN32)
// An announcement larger than the service takes is refused as such: not a
// network failure, and not one that sending it again would mend.
TEST(NorvaneUpload, AnAnnouncementTooLargeForTheServiceIsReportedAsTooLarge) {
  tavixtest::LocalTavixService service(std::nullopt, {"--announcement-limit", "2048"});
  Connected connected(service.baseUrl());
  const std::string token = service.issueTokens().at("access_token").get<std::string>();
  const TempFolder folder("norvane-too-large-");
  NorvaneUploadPayload payload;
  payload.targetDirectories[1] = 101;
  for (int i = 0; i < 40; ++i) {
    const std::string name = "component_" + std::to_string(i) + ".prt";
    payload.files.push_back({name, writeFile(folder.path, name, 1).string(), "key-" + name, "1", {}});
  }
  try {
    connected.client.upload(token, payload, false);
    ADD_FAILURE() << "the upload was taken";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "norvane: request too large for the service (HTTP 413): The body is larger than 2048 bytes.");
    EXPECT_TRUE(isRequestTooLarge(e));
    EXPECT_FALSE(isServiceUnavailable(e));
  }
  EXPECT_TRUE(service.storedFiles().empty());
}

// A server that refuses a body early answers and closes while the client
// still sends: the write that follows must fail the call, not end the process
// with SIGPIPE (the host is a long-running application; the library must not
// change how its process handles signals, nor die of one).
TEST(NorvaneUpload, AServiceClosingTheConnectionWhileAFileIsSentFailsTheCall) {
  const TestSocket listener = TestSocket::listenOnLoopback();
  const std::string base = "http://127.0.0.1:" + std::to_string(listener.localPort()) + "/";
  std::thread refusing([&listener] {
    for (const bool announce : {true, false}) {
      const TestSocket connection = listener.accept(60s);
      if (!connection.isOpen()) return;
      // The announcement is answered; the file is refused after its first 256 KiB.
      char buffer[64 * 1024];
      if (announce) connection.receiveHttpMessage();
      for (size_t received = 0, n = 1; !announce && n > 0 && received < 256 * 1024; received += n)
        n = connection.receive(buffer, sizeof buffer);
      const std::string body = announce ? R"({"uploadId":"u1"})" : R"({"error":"size_mismatch","message":"no"})";
      connection.sendAll(std::string(announce ? "HTTP/1.1 201 Created" : "HTTP/1.1 400 Bad Request") +
                         "\r\nContent-Type: application/json\r\nConnection: close\r\nContent-Length: " +
                         std::to_string(body.size()) + "\r\n\r\n" + body);
    }  // closed here, with the rest of the file unread
  });

  const TempFolder folder("norvane-refused-");
  NorvaneUploadPayload payload;
  payload.targetDirectories[1] = 101;
  payload.files.push_back({"large.prt", writeFile(folder.path, "large.prt", 32 * 1024 * 1024).string(), "key", "1", {}});
  Connected connected(base);
  const std::string failure = failureOf([&] { connected.client.upload("token", payload, false); });
  refusing.join();
  EXPECT_THAT(failure, ::testing::AnyOf(StartsWith("norvane: cannot connect to " + base),
                                        StartsWith("norvane: request refused (HTTP 400)")));
}

// Six users upload at once into one workspace: each their own file and a new
// revision of one they share. Every revision must hold the bytes of the user
// who sent it, and each user's answer must point at that user's revision.
TEST(NorvaneUnderLoad, ConcurrentUploadsEachKeepTheirOwnBytes) {
  constexpr int kClients = 6;
  nlohmann::json seed = {{"users", nlohmann::json::array()},
                         {"workspaces", {{{"name", "Shared"}, {"addressKey", "shared"}, {"members", nlohmann::json::array()}}}}};
  for (int i = 0; i < kClients; ++i) {
    const std::string email = "user" + std::to_string(i) + "@example.com";
    seed["users"].push_back({{"email", email}, {"password", "pw"}, {"name", "User " + std::to_string(i)}});
    seed["workspaces"][0]["members"].push_back(email);
  }
  tavixtest::LocalTavixService service(seed);
  const TempFolder folder("norvane-load-");
  struct Sender {
    std::string token;
    NorvaneUploadPayload payload;
    NorvaneUploadResult result;
    std::string failure;
  };
  std::vector<Sender> senders(kClients);
  for (int i = 0; i < kClients; ++i) {
    const std::string name = "user" + std::to_string(i);
    senders[i].token = service.issueTokens(name + "@example.com", "pw").at("access_token");
    std::filesystem::create_directories(folder.path / name);
    NorvaneUploadPayload& payload = senders[i].payload;
    payload.targetDirectories[1] = 101;
    payload.sourceRevisionId = payload.revisionId = "rev-" + name;
    payload.sourceRevisionVersion = "1";
    // Sizes differ per user, so that the random contents differ too.
    payload.files.push_back({"shared.prt", writeFile(folder.path / name, "shared.prt", 1024 * 1024 + i).string(),
                             "key-" + name, "1", {}});
    payload.files.push_back({name + ".asm", writeFile(folder.path / name, name + ".asm", 512 * 1024 + 7 * i).string(),
                             "key-" + name, "1", {}});
  }
  std::vector<std::thread> threads;
  for (Sender& sender : senders) {
    threads.emplace_back([&service, &sender] {
      Connected connected(service.baseUrl());
      try {
        sender.result = connected.client.upload(sender.token, sender.payload, false);
      } catch (const std::exception& error) {
        sender.failure = error.what();
      }
    });
  }
  for (std::thread& thread : threads) thread.join();

  const nlohmann::json stored = service.storedFiles();
  EXPECT_EQ(stored.size(), 2u * kClients);
  int sharedRevisions = 0;
  for (const Sender& sender : senders) {
    EXPECT_EQ(sender.failure, "");
    EXPECT_TRUE(sender.result.errors.empty());
    for (const NorvaneUploadFile& file : sender.payload.files) {
      // The answer's address names the revision; that revision holds this user's bytes.
      const std::string url = sender.result.fileUrls.count(file.name) ? sender.result.fileUrls.at(file.name) : "";
      const std::string revisionId = url.substr(url.find("revisionId=") + 11);
      const auto held = std::find_if(stored.begin(), stored.end(), [&](const auto& entry) {
        return entry.at("revisionId") == revisionId;
      });
      ASSERT_NE(held, stored.end()) << file.name << " " << url;
      EXPECT_EQ(held->at("name"), file.name);
      EXPECT_EQ(held->at("revisionKey"), file.revisionKey);
      EXPECT_EQ(held->at("sha256"), sha256Hex(file.path)) << file.name << " of " << file.revisionKey;
      if (file.name == "shared.prt") ++sharedRevisions;
    }
  }
  EXPECT_EQ(sharedRevisions, kClients);
  std::printf("%d clients uploaded at once: %zu revisions held, each with its sender's bytes\n", kClients,
              stored.size());
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// The service writes a file's bytes to disk as they arrive: its memory must not
// grow with the size of the file.
TEST(NorvaneUnderLoad, ServiceMemoryStaysFlatAsFilesGrow) {
  if (kSanitized) GTEST_SKIP() << "a sanitizer's own allocations make resident memory meaningless";
  tavixtest::LocalTavixService service;
  Connected connected(service.baseUrl());
  const std::string token = service.issueTokens().at("access_token");
  const TempFolder folder("norvane-memory-");
  std::map<int, long> peaks;
  for (const int mebibytes : {1, 16, 64}) {
    NorvaneUploadPayload payload;
    payload.targetDirectories[1] = 101;
    const std::string name = std::to_string(mebibytes) + "mib.prt";
    std::ofstream(folder.path / name).close();
    std::filesystem::resize_file(folder.path / name, static_cast<uintmax_t>(mebibytes) << 20);  // zeros, written fast
    payload.files.push_back({name, (folder.path / name).string(), "k", "1", {}});
    EXPECT_TRUE(connected.client.upload(token, payload, false).errors.empty());
    std::filesystem::remove(folder.path / name);
    peaks[mebibytes] = service.peakResidentKiB();
    std::printf("service peak resident memory after a %2d MiB file: %ld KiB\n", mebibytes, peaks[mebibytes]);
  }
  EXPECT_EQ(service.storedFiles().size(), 3u);
  EXPECT_LT(peaks[64] - peaks[1], 8 * 1024) << "the service holds file bytes in memory";
}

#endif  // the service under load: started here, with a seed of its own, measured through /proc

}  // namespace
