// What every request passes before its route runs. Nothing here reads a body:
// a stranger's body is refused by its announced size, unread.
#include "gated_server.h"
#include "http_util.h"
#include "service.h"

namespace tavixservice {
namespace {

// Forms and token requests are small; only file bytes and the announcement of
// a signed-in user's upload are large. File bytes are streamed; an
// announcement's list grows with the model, so its cap is the service's own.
constexpr int64_t kMaxBodyBytes = 1024 * 1024;

bool isFileUpload(const httplib::Request& req) {
  return req.method == "PUT" && req.path.rfind("/api/v1/uploads/", 0) == 0;
}

bool isAnnouncement(const httplib::Request& req) { return req.method == "POST" && req.path == "/api/v1/uploads"; }

// Without a length such a body would be read until the client closes.
bool carriesBody(const httplib::Request& req) {
  return req.method == "POST" || req.method == "PUT" || req.method == "PATCH";
}

// A page that rebinds its own name to 127.0.0.1 still sends that name.
bool sentToThisService(const ServiceContext& context, const httplib::Request& req) {
  const std::string host = req.get_header_value("Host");
  const std::string port = ":" + std::to_string(context.port);
  return host == "127.0.0.1" + port || host == "localhost" + port;
}

bool carriesControlSecret(const ServiceContext& context, const httplib::Request& req) {
  return constantTimeEquals(req.get_header_value("X-Tavix-Control-Secret"), context.controlSecret);
}

struct Refusal {
  int status;
  std::string message;
};

// Empty when the body may be read, else what refuses it.
std::optional<Refusal> bodyRefusal(const httplib::Request& req, int64_t limit) {
  if (isFileUpload(req)) return std::nullopt;
  if (req.has_header("Transfer-Encoding")) return Refusal{411, "The body needs a valid Content-Length."};
  if (!req.has_header("Content-Length")) {
    if (!carriesBody(req)) return std::nullopt;
    return Refusal{411, "The body needs a valid Content-Length."};
  }
  const auto length = parseInteger(req.get_header_value("Content-Length"));
  if (!length || *length < 0) return Refusal{400, "The body needs a valid Content-Length."};
  if (*length > limit) return Refusal{413, "The body is larger than " + std::to_string(limit) + " bytes."};
  return std::nullopt;
}

}  // namespace

httplib::Server::HandlerResponse gateRequest(ServiceContext& context, const httplib::Request& req,
                                             httplib::Response& res) {
  using Outcome = httplib::Server::HandlerResponse;
  // The body stays unread, so the connection cannot carry another request.
  auto refuse = [&](int status, const std::string& code, const std::string& message) {
    sendError(res, status, code, message);
    res.set_header("Connection", "close");
    GatedServer::closeAfterAnswer();
    return Outcome::Handled;
  };
  if (!sentToThisService(context, req))
    return refuse(421, "misdirected_request", "Requests must be sent to 127.0.0.1 or localhost on this port.");
  if (req.path.rfind("/_control/", 0) == 0 && !carriesControlSecret(context, req))
    return refuse(403, "forbidden", "The test controls need this run's secret.");
  // A stranger's body is not read. A client whose token has merely expired
  // gets its 401 from the route, after its body, so that it sees the answer
  // rather than a connection closed while it was still sending.
  const bool apiBody = req.path.rfind("/api/", 0) == 0 && (req.method == "POST" || req.method == "PUT");
  int64_t userId = 0;
  const bool knownCaller = apiBody && checkBearerToken(context, req, userId) != TokenCheck::Unknown;
  const int64_t limit = knownCaller && isAnnouncement(req) ? context.maxAnnouncementBytes : kMaxBodyBytes;
  if (const auto refusal = bodyRefusal(req, limit)) return refuse(refusal->status, "bad_request", refusal->message);
  if (apiBody && !knownCaller) return refuse(401, "invalid_token", "The call carries no known bearer token.");
  return Outcome::Unhandled;
}

}  // namespace tavixservice
