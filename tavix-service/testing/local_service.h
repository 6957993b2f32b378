// Runs the real tavix-service program for a test: a fresh data folder, a free
// port on 127.0.0.1, the test controls, and a clean stop when it goes out of scope.
// The service is a Linux program: a Windows test program (under wine) is given
// one that a Linux test started, through kServiceUrlVariable and
// kServiceSecretVariable, and runs one test case per such service.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace tavixtest {

// The demo seed's user, and the client the service knows unless a seed names others.
inline constexpr const char* kDemoEmail = "engineer@example.com";
inline constexpr const char* kDemoPassword = "creo-demo";
inline constexpr const char* kDemoName = "Demo Engineer";
inline constexpr const char* kLocalClientId = "TavixLocalServiceClient000000001";
inline constexpr const char* kServiceUrlVariable = "TAVIX_TEST_SERVICE_URL";
inline constexpr const char* kServiceSecretVariable = "TAVIX_TEST_SERVICE_SECRET";

class LocalTavixService {
 public:
  // Starts the service with the demo seed, or with `seed` ({"users":[..],"workspaces":[..],"clients":[..]}),
  // and waits until it listens. `extraArguments` go to the program as given (e.g. {"--code-lifetime", "1"}).
  // Throws std::runtime_error with the program's output when it does not come up.
  // On Windows: the service named by the two variables; a seed or arguments cannot be given there.
  explicit LocalTavixService(std::optional<nlohmann::json> seed = std::nullopt,
                             std::vector<std::string> extraArguments = {});
  // Stops the program (SIGTERM, then SIGKILL after 10 s) and removes its folder.
  ~LocalTavixService();
  LocalTavixService(const LocalTavixService&) = delete;
  LocalTavixService& operator=(const LocalTavixService&) = delete;

  // "http://127.0.0.1:PORT/": both LoginURL and ServerURL.
  const std::string& baseUrl() const { return baseUrl_; }
  int port() const { return port_; }
  // What the test controls must carry (X-Tavix-Control-Secret).
  const std::string& controlSecret() const { return controlSecret_; }
  pid_t pid() const { return pid_; }
  // The most the program has held in memory so far, in KiB, from /proc (Linux only).
  long peakResidentKiB() const;
  const std::filesystem::path& dataDir() const { return dataDir_; }
  // Everything the program printed so far (one line per request, never a token).
  std::string output() const;

  // The test controls, called with the secret the service printed; each throws std::runtime_error when the service refuses.
  void expireTokens();
  void removeWorkspace(int64_t id);
  // The next `count` API and token-endpoint calls answer `status` (400..599); with
  // `call` ("me", "workspaces", "root", "revisions", "announce", "file", "complete",
  // "token") only calls of that name.
  void failNext(int count, int status, const std::string& call = {});
  // The next call of that name is held `ms` before it is handled.
  void holdNext(const std::string& call, int ms);
  // The next file's transfer breaks after `afterBytes`: "reset" closes the
  // connection with the rest unread, "crash" kills the service.
  void breakNextFile(const std::string& how, int64_t afterBytes);
  // After a crash (true once the process has ended, within `limit`).
  bool waitForCrash(std::chrono::milliseconds limit);
  // Stops the program if it still runs and starts it again on the same port
  // and data folder, as an operator would; its tokens are gone, its files kept.
  void restart();
  // Every later response is delayed by `ms` (0 stops it).
  void setDelay(int ms);
  // Every stored revision: workspace, workspaceId, addressKey, fileId, name, size, sha256, revisionId,
  // revisionKey, version, sourceRevisionId, sourceRevisionVersion, lifecycleState, lastModified, blobPath.
  nlohmann::json storedFiles();

  // Signs in as a client would, without one: authorization page, sign-in form,
  // code exchange with PKCE. Returns the token response (access_token, ...);
  // throws std::runtime_error when any step is refused.
  nlohmann::json issueTokens(const std::string& email = kDemoEmail, const std::string& password = kDemoPassword);

 private:
  std::string control(const std::string& method, const std::string& pathAndQuery);
  void start(int port);
  void stopProcess();

  std::filesystem::path folder_;
  std::filesystem::path dataDir_;
  std::filesystem::path outputFile_;
  pid_t pid_ = -1;
  std::vector<std::string> extraArguments_;
  int lifeline_ = -1;  // write end of the service's stdin
  int port_ = 0;
  std::string baseUrl_;
  std::string controlSecret_;
};

}  // namespace tavixtest
