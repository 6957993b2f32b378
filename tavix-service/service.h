// The Tavix service: one HTTP server on 127.0.0.1 serving the identity
// provider, the API, the web pages and the test controls.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <httplib.h>

#include "blob_store.h"
#include "controls.h"
#include "gated_server.h"
#include "seed.h"
#include "store.h"
#include "tokens.h"
#include "uploads.h"

namespace tavixservice {

// An upload announcement lists every file of the model: 64 MiB holds some
// 400,000 entries, more files than the largest assemblies have.
inline constexpr int64_t kDefaultAnnouncementLimit = 64 * 1024 * 1024;

struct ServiceConfig {
  std::filesystem::path dataDir;
  Seed seed;
  std::chrono::seconds codeLifetime{60};
  std::chrono::seconds tokenLifetime{3600};
  int64_t maxAnnouncementBytes = kDefaultAnnouncementLimit;
};

// What the routes share.
struct ServiceContext {
  explicit ServiceContext(const ServiceConfig& config);

  std::string baseUrl;  // "http://127.0.0.1:PORT/", known once bound
  int port = 0;
  std::vector<std::string> clientIds;
  // What a signed-in caller's upload announcement may hold; other bodies hold 1 MiB.
  int64_t maxAnnouncementBytes;
  Store store;
  BlobStore blobs;
  Tokens tokens;
  Uploads uploads;
  Controls controls;
  // Printed at start: only the one who started the service may drive its test controls.
  std::string controlSecret;
  std::string idTokenKey;
};

using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;
using ReadingHandler =
    std::function<void(const httplib::Request&, httplib::Response&, const httplib::ContentReader&)>;

// Which test controls touch a route: pages and sign-in are delayed, API calls
// are delayed and may fail or be held, the controls themselves are left alone.
enum class Controlled { DelayOnly, DelayAndFailure, Not };

// Wraps a route: applies the test controls, and turns an escaping exception
// into a 500 with its text. `call` names the route for the controls that
// target one call (DelayAndFailure routes only).
Handler guarded(ServiceContext& context, Controlled controlled, Handler handler, std::string call = {});
ReadingHandler guarded(ServiceContext& context, Controlled controlled, ReadingHandler handler,
                       std::string call = {});

// The signed-in user of an API call, or empty with the 401 already sent.
std::optional<User> authenticate(ServiceContext& context, const httplib::Request& req, httplib::Response& res);
bool carriesBearerToken(const httplib::Request& req);
// Unknown as well when the call carries no bearer token.
TokenCheck checkBearerToken(ServiceContext& context, const httplib::Request& req, int64_t& userId);

// Checks every request before a route reads its body: where it was sent, the
// controls' secret, the size of a body and, for the API, the caller's token.
httplib::Server::HandlerResponse gateRequest(ServiceContext& context, const httplib::Request& req,
                                             httplib::Response& res);

void addIdentityRoutes(httplib::Server& server, ServiceContext& context);
void addApiRoutes(httplib::Server& server, ServiceContext& context);
void addPageRoutes(httplib::Server& server, ServiceContext& context);
void addControlRoutes(httplib::Server& server, ServiceContext& context);

class Service {
 public:
  explicit Service(const ServiceConfig& config);
  // Binds 127.0.0.1:port (0 picks a free port) and returns the port.
  int bind(int port);
  // Serves until stop(); call after bind().
  void run();
  void stop();
  const std::string& baseUrl() const { return context_.baseUrl; }
  const std::string& controlSecret() const { return context_.controlSecret; }

 private:
  ServiceContext context_;
  GatedServer server_;
};

}  // namespace tavixservice
