// The library against the real local service, with a scripted browser in the
// user's place.
#include <arpa/inet.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <openssl/sha.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <mutex>
#include <random>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <httplib.h>

#include "local_service.h"
#include "norvane/errors.h"
#include "norvane/norvane.h"
#include "scripted_browser.h"

namespace {

using namespace norvane;
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
  tavixtest::ScriptedBrowser browser;
  const auto form = browser.get(result.authorizeUrl);
  const auto answer = browser.submitSignIn(form, tavixtest::kDemoEmail, tavixtest::kDemoPassword);
  result.code = queryValue(answer.location, "code");
  result.state = queryValue(answer.location, "state");
  result.finalPage = browser.get(answer.location).body;
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
  const std::string bytes((std::istreambuf_iterator<char>(in)), {});
  unsigned char digest[SHA256_DIGEST_LENGTH];
  SHA256(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), digest);
  std::string hex;
  for (unsigned char byte : digest) {
    static const char* const digits = "0123456789abcdef";
    hex += digits[byte >> 4];
    hex += digits[byte & 15];
  }
  return hex;
}

std::vector<in_addr> nonLoopbackAddresses() {
  std::vector<in_addr> addresses;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return addresses;
  for (ifaddrs* entry = list; entry; entry = entry->ifa_next) {
    if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET) continue;
    const in_addr address = reinterpret_cast<sockaddr_in*>(entry->ifa_addr)->sin_addr;
    if ((ntohl(address.s_addr) >> 24) != 127) addresses.push_back(address);
  }
  freeifaddrs(list);
  return addresses;
}

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
int connectTo(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  timeval patience{5, 0};
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &patience, sizeof patience);
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  return fd;
}

// The status the listener answers to one raw request; 0 when it answers nothing.
int statusFor(int port, const std::string& target) {
  const int fd = connectTo(port);
  const std::string request = "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
  send(fd, request.data(), request.size(), MSG_NOSIGNAL);
  char answer[64] = {};
  const ssize_t received = recv(fd, answer, sizeof answer - 1, 0);
  close(fd);
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

  std::vector<int> silent;
  for (int i = 0; i < 7; ++i) silent.push_back(connectTo(port));
  for (int i = 0; i < 3; ++i) close(connectTo(port));  // connect and hang up at once
  const int halfRequest = connectTo(port);
  send(halfRequest, "GET /callback?state=", 20, MSG_NOSIGNAL);
  silent.push_back(halfRequest);

  // A page other than the callback, an old tab's redirect and one without state: refused, still waiting.
  EXPECT_EQ(statusFor(port, "/favicon.ico"), 404);
  EXPECT_EQ(statusFor(port, "/callback?code=old&state=from-an-old-tab"), 400);
  EXPECT_EQ(statusFor(port, "/callback?code=stray"), 400);

  tavixtest::ScriptedBrowser browser;
  const auto answer = browser.submitSignIn(browser.get(authorizeUrl), tavixtest::kDemoEmail, tavixtest::kDemoPassword);
  ASSERT_EQ(answer.status, 302);
  EXPECT_THAT(browser.get(answer.location).body, HasSubstr("You can return to Creo."));
  EXPECT_FALSE(completion.get().accessToken.empty());
  for (const int fd : silent) close(fd);

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
  const auto addresses = nonLoopbackAddresses();
  if (addresses.empty()) GTEST_SKIP() << "this machine has no non-loopback IPv4 address to try";
  for (const in_addr& candidate : addresses) {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr = candidate;
    EXPECT_NE(connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address), 0)
        << inet_ntoa(candidate) << " reached the sign-in listener";
    close(probe);
  }

  // The loopback address still completes the sign-in afterwards.
  auto completion = std::async(std::launch::async, [&] { return connected.client.localAuthFlowComplete(); });
  tavixtest::ScriptedBrowser browser;
  const auto page = browser.signIn(authorizeUrl, tavixtest::kDemoEmail, tavixtest::kDemoPassword);
  EXPECT_EQ(page.status, 200);
  EXPECT_FALSE(completion.get().accessToken.empty());
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

  // A port nobody listens on: take one from a service and stop it.
  std::string base;
  {
    tavixtest::LocalTavixService service;
    base = service.baseUrl();
  }
  Connected connected(base);
  EXPECT_THAT(failureOf([&] { connected.client.getCurrentUser("token"); }),
              StartsWith("norvane: cannot connect to " + base));
}

// A server that answers every call with the same text.
class CannedServer {
 public:
  CannedServer(int status, std::string body) {
    const auto answer = [status, body](const httplib::Request&, httplib::Response& res) {
      res.status = status;
      res.set_content(body, "application/json");
    };
    server_.Get(".*", answer);
    server_.Post(".*", answer);
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
  }
  ~CannedServer() {
    server_.stop();
    thread_.join();
  }
  std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

 private:
  httplib::Server server_;
  int port_ = 0;
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
    tavixtest::LocalTavixService service;
    Connected connected(service.baseUrl());
    const std::string authorizeUrl = connected.client.localAuthFlowAuthorize();
    auto completion = std::async(std::launch::async, [&] { return connected.client.localAuthFlowComplete(); });
    EXPECT_EQ(statusFor(listenerPort(authorizeUrl), "/callback?state=" + queryValue(authorizeUrl, "state") +
                                                        "&error=access_denied%0D%0A%5BERROR%5D%20forged"), 400);
    EXPECT_EQ(failureOf([&] { completion.get(); }),
              "norvane: sign-in failed at the identity provider: access_denied" + shown);
    for (const auto& line : connected.logger->lines()) EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
  }
  {
    CannedServer refusing(403, nlohmann::json{{"error", "forbidden"}, {"message", "no" + forged}}.dump());
    Connected connected(refusing.url());
    EXPECT_EQ(failureOf([&] { connected.client.getCurrentUser("token"); }),
              "norvane: access denied (HTTP 403): no" + shown);
  }
  {
    // The token endpoint's error code, on the way back from a browser sign-in.
    CannedServer identityProvider(400, nlohmann::json{{"error", "invalid_grant" + forged}}.dump());
    Connected connected(identityProvider.url());
    const std::string authorizeUrl = connected.client.localAuthFlowAuthorize();
    auto completion = std::async(std::launch::async, [&] { return connected.client.localAuthFlowComplete(); });
    EXPECT_EQ(statusFor(listenerPort(authorizeUrl), "/callback?code=c&state=" + queryValue(authorizeUrl, "state")), 400);
    EXPECT_THAT(failureOf([&] { completion.get(); }), HasSubstr("(invalid_grant" + shown + ", HTTP 400)"));
    for (const auto& line : connected.logger->lines()) EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
  }
}

// A TLS server whose certificate no authority signed: openssl's own test server.
class SelfSignedServer {
 public:
  SelfSignedServer() : folder_(std::filesystem::temp_directory_path() / ("norvane-tls-" + std::to_string(getpid()))) {
    std::filesystem::create_directories(folder_);
    const std::string key = (folder_ / "key.pem").string(), cert = (folder_ / "cert.pem").string();
    const std::string make = "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 "
                             "-addext subjectAltName=IP:127.0.0.1 -keyout " + key + " -out " + cert + " 2>/dev/null";
    if (std::system(make.c_str()) != 0) throw std::runtime_error("openssl cannot make a certificate");
    port_ = freePort();
    pid_ = fork();
    if (pid_ == 0) {
      const int quiet = open("/dev/null", O_WRONLY);
      dup2(quiet, 1);
      dup2(quiet, 2);
      execlp("openssl", "openssl", "s_server", "-quiet", "-www", "-accept", std::to_string(port_).c_str(), "-cert",
             cert.c_str(), "-key", key.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    waitUntilListening();
  }
  ~SelfSignedServer() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    std::filesystem::remove_all(folder_);
  }
  std::string url() const { return "https://127.0.0.1:" + std::to_string(port_) + "/"; }

 private:
  static int freePort() {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    close(probe);
    return ntohs(address.sin_port);
  }
  void waitUntilListening() const {
    for (int attempt = 0; attempt < 100; ++attempt) {
      const int probe = socket(AF_INET, SOCK_STREAM, 0);
      sockaddr_in address{};
      address.sin_family = AF_INET;
      address.sin_port = htons(static_cast<uint16_t>(port_));
      address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      const bool up = connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
      close(probe);
      if (up) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    throw std::runtime_error("openssl s_server did not start");
  }

  std::filesystem::path folder_;
  int port_ = 0;
  pid_t pid_ = -1;
};

TEST(NorvaneService, HttpsRefusesACertificateNoAuthoritySigned) {
  SelfSignedServer server;
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

  const auto folder = std::filesystem::temp_directory_path() / ("norvane-upload-" + std::to_string(getpid()));
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
    payload.files.push_back({name, writeFile(folder, name, size).string(), "key-" + name, "1", {}});
  }

  const NorvaneUploadResult result = connected.client.upload(token, payload, false);
  EXPECT_TRUE(result.errors.empty());
  ASSERT_EQ(result.fileUrls.size(), files.size());
  EXPECT_THAT(result.fileUrls.at("bracket.asm"),
              ::testing::MatchesRegex(service.baseUrl() + "workspace/" + workspace.addressKey +
                                      "/file/[0-9]+\\?revisionId=.+"));

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
  std::filesystem::remove_all(folder);
  connected.logger->expectNoneOf({token});
}

}  // namespace
