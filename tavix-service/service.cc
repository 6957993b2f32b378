#include "service.h"

#include <cstdio>
#include <stdexcept>
#include <thread>

#include "crypto.h"
#include "http_util.h"

namespace tavixservice {
namespace {

std::string errorCodeFor(int status) {
  if (status == 401) return "invalid_token";
  if (status == 403) return "forbidden";
  if (status == 404) return "not_found";
  if (status >= 500) return "server_error";
  return "error";
}

// Applies the delay and an armed failure; true when the call is answered already.
bool answeredByControls(ServiceContext& context, Controlled controlled, const std::string& call,
                        httplib::Response& res) {
  if (controlled == Controlled::Not) return false;
  if (int ms = context.controls.delayMs(); ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  if (controlled != Controlled::DelayAndFailure) return false;
  context.controls.holdIfArmed(call);
  auto status = context.controls.takeFailure(call);
  if (!status) return false;
  sendError(res, *status, errorCodeFor(*status), "Failure injected by the test controls.");
  return true;
}

// The text stays in the service's output: exception and SQL texts are not for clients.
void answerException(httplib::Response& res, const std::exception& e) {
  std::fprintf(stderr, "tavix-service: request failed: %s\n", e.what());
  sendError(res, 500, "server_error", "The service could not answer this request.");
}

}  // namespace

ServiceContext::ServiceContext(const ServiceConfig& config)
    : clientIds(config.seed.clientIds),
      maxAnnouncementBytes(config.maxAnnouncementBytes),
      store((std::filesystem::create_directories(config.dataDir), config.dataDir / "tavix.sqlite")),
      blobs(config.dataDir / "blobs"),
      tokens(config.codeLifetime, config.tokenLifetime),
      controlSecret(randomHex(16)),
      idTokenKey(randomHex(32)) {
  store.seedIfEmpty(config.seed);
}

Handler guarded(ServiceContext& context, Controlled controlled, Handler handler, std::string call) {
  return [&context, controlled, handler = std::move(handler), call = std::move(call)](const httplib::Request& req,
                                                                                       httplib::Response& res) {
    try {
      if (!answeredByControls(context, controlled, call, res)) handler(req, res);
    } catch (const std::exception& e) {
      answerException(res, e);
    }
  };
}

ReadingHandler guarded(ServiceContext& context, Controlled controlled, ReadingHandler handler, std::string call) {
  return [&context, controlled, handler = std::move(handler), call = std::move(call)](
             const httplib::Request& req, httplib::Response& res, const httplib::ContentReader& reader) {
    try {
      if (answeredByControls(context, controlled, call, res)) {
        // Read the body anyway, so that the client sees the answer instead of a reset.
        reader([](const char*, size_t) { return true; });
        return;
      }
      handler(req, res, reader);
    } catch (const std::exception& e) {
      answerException(res, e);
    }
  };
}

Service::Service(const ServiceConfig& config) : context_(config) {
  addIdentityRoutes(server_, context_);
  addApiRoutes(server_, context_);
  addPageRoutes(server_, context_);
  addControlRoutes(server_, context_);
  server_.set_pre_routing_handler(
      [this](const httplib::Request& req, httplib::Response& res) { return gateRequest(context_, req, res); });
  server_.set_logger([](const httplib::Request& req, const httplib::Response& res) {
    // The path only: queries carry codes and challenges.
    std::printf("%s %s %d\n", req.method.c_str(), req.path.c_str(), res.status);
    std::fflush(stdout);
  });
}

int Service::bind(int port) {
  int bound = port == 0 ? server_.bind_to_any_port("127.0.0.1") : (server_.bind_to_port("127.0.0.1", port) ? port : -1);
  if (bound <= 0) throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(port));
  context_.baseUrl = "http://127.0.0.1:" + std::to_string(bound) + "/";
  context_.port = bound;
  return bound;
}

void Service::run() { server_.listen_after_bind(); }

void Service::stop() {
  context_.controls.releaseHolds();
  server_.stop();
}

}  // namespace tavixservice
